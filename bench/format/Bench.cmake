# FormatString beside the C library's swprintf on formats both understand alike.
add_platform_benchmark(format_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/FormatBench.cpp
  LIBS platform_dxe)
