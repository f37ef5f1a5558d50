# Flash part access: part tables and detection, the SPI controller and operations, the
# LPC/firmware-hub operation sets and the memory routines they share.
list(APPEND PLATFORM_DXE_MODULE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/FlashBinding.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FlashDetect.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FlashPartTables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FlashWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LpcFlash.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MemoryRoutines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SpiController.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SpiOperations.cpp)
