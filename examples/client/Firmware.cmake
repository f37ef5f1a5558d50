# ClientExample.efi: a plain C client of the platform services protocol, compiled against its
# own UEFI declarations with PLATFORM_SERVICES_USE_CLIENT_UEFI_TYPES. tools/demo runs it.
add_efi_image(ClientExample
  ARCH x64 ENTRY ClientExampleEntry SUBSYSTEM efi_application
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PlatformServicesClient.c
    ${PROJECT_SOURCE_DIR}/platform_dxe/CompilerSupport.cpp)
