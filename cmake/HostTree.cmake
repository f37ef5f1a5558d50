# Host tree: the module sources built for Linux, linked against the simulated board (the
# hardware seam) and run against the simulated UEFI environment by GoogleTest.
# The same description also makes the benchmark tree (PLATFORM_BENCH: optimised, no
# sanitizers, no tests) and the fuzzing tree (PLATFORM_FUZZ: clang, libFuzzer, sanitizers).
option(PLATFORM_HOST_TESTS "Build the host tests and tools" ON)
option(PLATFORM_BENCH "Build the benchmarks in bench/" OFF)
option(PLATFORM_FUZZ "Build the libFuzzer targets in fuzz/ (clang only)" OFF)

enable_testing()
if(PLATFORM_HOST_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

option(PLATFORM_SANITIZE "Build the host tree with AddressSanitizer and UBSan" ON)
if(PLATFORM_FUZZ)
  # Coverage feedback for every library; the fuzzer's own main is linked per target.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
if(PLATFORM_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
# Board operation tables hold entries of differing signatures behind one pointer type.
add_compile_options(-Wall -Wextra -Wno-cast-function-type)

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)

add_subdirectory(sim)

# Module code of PlatformServicesDxe; its hardware seam is resolved by sim_hw at link time.
if(PLATFORM_DXE_MODULE_SOURCES)
  add_library(platform_dxe STATIC ${PLATFORM_DXE_MODULE_SOURCES})
  target_include_directories(platform_dxe PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(platform_dxe PUBLIC sim_hw)
endif()

include(${PROJECT_SOURCE_DIR}/spd_pei/Host.cmake)
if(PLATFORM_HOST_TESTS)
  include(${PROJECT_SOURCE_DIR}/tools/Host.cmake)
  add_subdirectory(tests)
endif()
if(PLATFORM_BENCH)
  include(${PROJECT_SOURCE_DIR}/bench/Host.cmake)
endif()
if(PLATFORM_FUZZ)
  include(${PROJECT_SOURCE_DIR}/fuzz/Host.cmake)
endif()
