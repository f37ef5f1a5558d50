# SpdProviderPei: PE32, IA-32, executes in place from flash. It shares only the instruction
# seam's source with the DXE driver; nothing of the driver is linked in.
add_efi_image(SpdProviderPei
  ARCH ia32 ENTRY SpdProviderPeiEntry SUBSYSTEM efi_boot_service_driver EXECUTE_IN_PLACE
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/SpdProviderPei.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CompilerSupport.cpp
    ${PROJECT_SOURCE_DIR}/platform_dxe/cpu/InstructionsX86.cpp)

# Running from flash, the image cannot write its own sections: it must have no writable
# section at all, and each section must sit at the file offset that equals its RVA. Relocations
# stay so that a volume build can rebase it to its flash address. Flash is small: the PE32
# form may take 1.5 KiB, the TE form (cmake/PlatformPackaging.cmake) 1.25 KiB.
set(SPD_IMAGE_RULES --machine i386 --subsystem efi_boot_service_driver --require-relocations
    --no-writable-sections --execute-in-place)
add_test(NAME image_check_SpdProviderPei
  COMMAND /usr/bin/python3 ${PROJECT_SOURCE_DIR}/tools/check_pe_image.py
          $<TARGET_FILE:SpdProviderPei> --magic pe32 ${SPD_IMAGE_RULES} --max-size 1536)
add_test(NAME image_check_SpdProviderPei_te
  COMMAND /usr/bin/python3 ${PROJECT_SOURCE_DIR}/tools/check_pe_image.py
          ${PROJECT_BINARY_DIR}/SpdProviderPei.te ${SPD_IMAGE_RULES} --max-size 1280)
