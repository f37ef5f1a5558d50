# Benchmarks: one folder per subsystem, each with a Bench.cmake that calls
# add_platform_benchmark. Every benchmark measures its reference in the same run and reports
# the ratio, since absolute times are not comparable between machines.
find_package(benchmark REQUIRED)

# add_platform_benchmark(NAME SOURCES src... [LIBS lib...])
function(add_platform_benchmark name)
  cmake_parse_arguments(BENCH "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${BENCH_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${BENCH_LIBS} benchmark::benchmark_main)
endfunction()

file(GLOB bench_fragments ${PROJECT_SOURCE_DIR}/bench/*/Bench.cmake)
list(SORT bench_fragments)
foreach(fragment ${bench_fragments})
  include(${fragment})
endforeach()
