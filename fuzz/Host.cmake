# libFuzzer targets: one folder per parser, each with a Fuzz.cmake that calls
# add_platform_fuzzer. Every target also becomes a ctest that replays its corpus, so a crash
# once found stays found.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "the fuzzing tree needs clang (use the fuzz preset)")
endif()

# add_platform_fuzzer(NAME SOURCES src... CORPUS dir [LIBS lib...])
function(add_platform_fuzzer name)
  cmake_parse_arguments(FUZZ "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${FUZZ_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${FUZZ_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_property(GLOBAL APPEND PROPERTY PLATFORM_FUZZERS "${name} ${FUZZ_CORPUS}")
  # -runs=0 executes every corpus input once and stops.
  add_test(NAME fuzz.${name}.replay COMMAND ${name} -runs=0 ${FUZZ_CORPUS})
  set_tests_properties(fuzz.${name}.replay PROPERTIES TIMEOUT 300)
endfunction()

file(GLOB fuzz_fragments ${PROJECT_SOURCE_DIR}/fuzz/*/Fuzz.cmake)
list(SORT fuzz_fragments)
foreach(fragment ${fuzz_fragments})
  include(${fragment})
endforeach()

# fuzz/run finds the targets and their seed corpora through this list: "name corpus-dir".
get_property(fuzzers GLOBAL PROPERTY PLATFORM_FUZZERS)
set(fuzz_list "")
foreach(entry ${fuzzers})
  string(APPEND fuzz_list "${entry}\n")
endforeach()
file(WRITE ${PROJECT_BINARY_DIR}/fuzzers.txt "${fuzz_list}")
