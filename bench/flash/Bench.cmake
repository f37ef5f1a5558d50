# Flash: controller cycles and host time of SPI read, program and erase beside the controller's
# minimum, and the memory routines beside the C library's.
add_platform_benchmark(flash_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/FlashBench.cpp
  LIBS platform_dxe sim_uefi sim_hw)
