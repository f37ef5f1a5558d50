# FormatString beside the C library's swprintf on formats both understand alike. The
# formatter is compiled here under the firmware's code-generation limit (no vector registers),
# since that is the code that runs at boot.
set(format_bench_sources ${PLATFORM_DXE_MODULE_SOURCES})
list(FILTER format_bench_sources INCLUDE REGEX "/logo/Format[A-Za-z]*\\.cpp$")
add_library(format_general_regs OBJECT ${format_bench_sources})
target_include_directories(format_general_regs PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(format_general_regs PRIVATE -mgeneral-regs-only)

add_platform_benchmark(format_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/FormatBench.cpp $<TARGET_OBJECTS:format_general_regs>)
