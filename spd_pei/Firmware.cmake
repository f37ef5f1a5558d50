# SpdProviderPei: PE32, IA-32, executes in place from flash. It shares only the instruction
# seam's source with the DXE driver; nothing of the driver is linked in.
add_efi_image(SpdProviderPei
  ARCH ia32 ENTRY SpdProviderPeiEntry SUBSYSTEM efi_boot_service_driver
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/SpdProviderPei.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CompilerSupport.cpp
    ${PROJECT_SOURCE_DIR}/platform_dxe/cpu/InstructionsX86.cpp)

# Running from flash, the image cannot write its own sections: it must have no writable
# section at all. The checker also reports the image's size.
add_test(NAME image_check_SpdProviderPei
  COMMAND /usr/bin/python3 ${PROJECT_SOURCE_DIR}/tools/check_pe_image.py
          $<TARGET_FILE:SpdProviderPei> --magic pe32 --machine i386
          --subsystem efi_boot_service_driver --require-relocations --no-writable-sections)
