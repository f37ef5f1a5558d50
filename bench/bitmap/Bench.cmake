# DecodeBitmap beside stb_image and a plain copy. The decoder is built as a separate object
# library with the firmware's code-generation limit: no vector registers (-mgeneral-regs-only),
# since that is the code that runs at boot. The rest of the module (state, pool) comes from the
# module library; the linker takes the decoder from these objects, which come first.
add_library(bitmap_decoder_firmware_codegen OBJECT
  ${PROJECT_SOURCE_DIR}/platform_dxe/logo/BitmapDecoder.cpp
  ${PROJECT_SOURCE_DIR}/platform_dxe/logo/BitmapFile.cpp
  ${PROJECT_SOURCE_DIR}/platform_dxe/logo/BitmapRows.cpp
  ${PROJECT_SOURCE_DIR}/platform_dxe/logo/Rle8Decoder.cpp)
target_include_directories(bitmap_decoder_firmware_codegen PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(bitmap_decoder_firmware_codegen PRIVATE -mgeneral-regs-only)

add_library(bitmap_bench_stb OBJECT ${CMAKE_CURRENT_LIST_DIR}/StbImage.cpp)
target_compile_options(bitmap_bench_stb PRIVATE -w)

add_platform_benchmark(bitmap_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/BitmapBench.cpp
          ${CMAKE_CURRENT_LIST_DIR}/BenchImages.cpp
          $<TARGET_OBJECTS:bitmap_decoder_firmware_codegen>
          $<TARGET_OBJECTS:bitmap_bench_stb>
  LIBS platform_dxe sim_uefi sim_hw)
