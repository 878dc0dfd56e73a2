# Benchmarks (native only, not run by the tests): configure with the `bench`
# preset and run build/bench/packwright_bench.
find_package(benchmark REQUIRED)
add_executable(packwright_bench
  ${CMAKE_SOURCE_DIR}/engine/file_step_bench.cc
  ${CMAKE_SOURCE_DIR}/engine/install_script_bench.cc
  ${CMAKE_SOURCE_DIR}/textures/texture_catalogue_bench.cc)
target_link_libraries(packwright_bench PRIVATE packwright_core benchmark::benchmark_main)
