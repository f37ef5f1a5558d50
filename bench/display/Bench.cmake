# The simulated Graphics Output device's Blt beside a plain memcpy of the same pixels: the
# price of the bounds checks and row-by-row copy that every drawn logo pays in host tests.
add_platform_benchmark(display_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/DisplayBench.cpp
  LIBS sim_uefi_display)
