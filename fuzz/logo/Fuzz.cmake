# The image loop of ShowBootLogo under libFuzzer: scripted logo sources with images of every
# type and format code (LogoScript.h), served to the driver on the simulated environment with
# the board's decoder doubles. Seeds: small hand-made scripts (make_corpus.py wrote them).
add_platform_fuzzer(logo_images
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LogoImagesFuzzer.cpp ${CMAKE_CURRENT_LIST_DIR}/LogoScript.cpp
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus
  LIBS platform_dxe sim_uefi_logo sim_uefi_display sim_uefi)
