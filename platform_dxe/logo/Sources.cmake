# Boot logo subsystem: the bitmap decoder.
list(APPEND PLATFORM_DXE_MODULE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/BitmapDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BitmapFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BitmapRows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Rle8Decoder.cpp)
