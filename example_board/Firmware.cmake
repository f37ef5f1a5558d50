# ExampleBoardDxe: the example board driver, loaded before PlatformServicesDxe in firmware tests.
add_efi_image(ExampleBoardDxe
  ARCH x64 ENTRY ExampleBoardDxeEntry SUBSYSTEM efi_boot_service_driver
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ExampleBoardDxe.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BoardOperations.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CompilerSupport.cpp)
