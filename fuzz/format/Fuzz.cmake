# FormatString on fuzzed format text, argument slots and buffer sizes.
add_platform_fuzzer(format_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/FormatFuzz.cpp
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus
  LIBS platform_dxe)
