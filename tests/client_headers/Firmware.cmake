# Client headers on the firmware compiler, for both widths, with the images' own flags.
include(${CMAKE_CURRENT_LIST_DIR}/ClientHeaders.cmake)
foreach(triple x86_64-unknown-windows i686-unknown-windows)
  string(REGEX REPLACE "-.*" "" arch ${triple})
  client_header_checks(${arch} --target=${triple} ${FIRMWARE_COMMON_FLAGS})
endforeach()
