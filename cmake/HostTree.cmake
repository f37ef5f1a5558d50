# Host tree: the module sources built for Linux, linked against the simulated board (the
# hardware seam) and run against the simulated UEFI environment by GoogleTest.
enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

option(PLATFORM_SANITIZE "Build the host tree with AddressSanitizer and UBSan" ON)
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

foreach(dir spd_pei tools bench fuzz)
  if(EXISTS ${PROJECT_SOURCE_DIR}/${dir}/Host.cmake)
    include(${PROJECT_SOURCE_DIR}/${dir}/Host.cmake)
  endif()
endforeach()

add_subdirectory(tests)
