# Formatted string output.
list(APPEND PLATFORM_DXE_MODULE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/FormatGuid.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormatNumbers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormatStatus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormatString.cpp)
