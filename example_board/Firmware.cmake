# ExampleBoardDxe: the example board driver, loaded before PlatformServicesDxe in firmware
# tests. ExampleBoardNoHandOffDxe is the same board without the boot logo hand-off image, so
# that the logo display takes its ordinary path.
set(EXAMPLE_BOARD_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ExampleBoardDxe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BoardOperations.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BoardImages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ConsoleControl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FirmwareVolume.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LogoSource.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SharedData.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CompilerSupport.cpp)
add_efi_image(ExampleBoardDxe
  ARCH x64 ENTRY ExampleBoardDxeEntry SUBSYSTEM efi_boot_service_driver
  SOURCES ${EXAMPLE_BOARD_SOURCES})
add_efi_image(ExampleBoardNoHandOffDxe
  ARCH x64 ENTRY ExampleBoardDxeEntry SUBSYSTEM efi_boot_service_driver
  SOURCES ${EXAMPLE_BOARD_SOURCES})
target_compile_definitions(ExampleBoardNoHandOffDxe PRIVATE EXAMPLE_BOARD_NO_HAND_OFF_IMAGE)
