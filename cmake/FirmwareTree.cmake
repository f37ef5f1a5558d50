# Genuine UEFI images. add_efi_image(NAME ARCH x64|ia32 ENTRY symbol SUBSYSTEM kind SOURCES ...)
set(FIRMWARE_COMMON_FLAGS
  -ffreestanding -fno-builtin-printf -fno-exceptions -fno-rtti -fno-stack-protector
  -fno-threadsafe-statics -fshort-wchar -mno-red-zone -mgeneral-regs-only -mno-stack-arg-probe
  -fno-asynchronous-unwind-tables -fno-unwind-tables -O2 -Wall -Wextra -Werror)

function(add_efi_image NAME)
  cmake_parse_arguments(IMG "EXECUTE_IN_PLACE" "ARCH;ENTRY;SUBSYSTEM" "SOURCES;INCLUDES" ${ARGN})
  if(IMG_ARCH STREQUAL "x64")
    set(triple x86_64-unknown-windows)
    set(machine x64)
  elseif(IMG_ARCH STREQUAL "ia32")
    set(triple i686-unknown-windows)
    set(machine x86)
  else()
    message(FATAL_ERROR "add_efi_image(${NAME}): ARCH must be x64 or ia32")
  endif()
  add_executable(${NAME} ${IMG_SOURCES})
  target_include_directories(${NAME} PRIVATE ${PROJECT_SOURCE_DIR} ${IMG_INCLUDES})
  target_compile_options(${NAME} PRIVATE --target=${triple} ${FIRMWARE_COMMON_FLAGS})
  # Base relocations are kept: UEFI loads images wherever it finds room.
  target_link_options(${NAME} PRIVATE
    /machine:${machine} /subsystem:${IMG_SUBSYSTEM} /entry:${IMG_ENTRY} /nodefaultlib
    /dynamicbase /debug:none)
  if(IMG_EXECUTE_IN_PLACE)
    # Code that runs straight from flash finds each section at its RVA from the image start, so
    # every section's RVA must equal its file offset: section and file alignment both 32 bytes
    # (below a page the two must be equal anyway). Each function and datum in its own section
    # lets /opt:ref drop what is never referenced; flash is small. /driver only quiets the
    # linker's warning about sub-page alignment; it changes no byte of the image.
    target_compile_options(${NAME} PRIVATE -ffunction-sections -fdata-sections)
    target_link_options(${NAME} PRIVATE /align:32 /filealign:32 /opt:ref /driver)
  endif()
  set_target_properties(${NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
endfunction()

enable_testing()

add_efi_image(PlatformServicesDxe
  ARCH x64 ENTRY PlatformServicesDxeEntry SUBSYSTEM efi_boot_service_driver
  SOURCES ${PLATFORM_DXE_MODULE_SOURCES} ${PLATFORM_DXE_FIRMWARE_SOURCES})

foreach(dir spd_pei example_board examples/client tests/firmware tests/packaging tests/client_headers)
  if(EXISTS ${PROJECT_SOURCE_DIR}/${dir}/Firmware.cmake)
    include(${PROJECT_SOURCE_DIR}/${dir}/Firmware.cmake)
  endif()
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/PlatformPackaging.cmake)

# Layout assertions of uefi/ and include/ for both firmware widths (compile-only).
foreach(triple x86_64-unknown-windows i686-unknown-windows)
  string(REGEX REPLACE "-.*" "" arch ${triple})
  add_library(uefi_layout_${arch} OBJECT ${PROJECT_SOURCE_DIR}/uefi/LayoutCheck.cpp)
  target_compile_options(uefi_layout_${arch} PRIVATE --target=${triple} ${FIRMWARE_COMMON_FLAGS})
endforeach()
