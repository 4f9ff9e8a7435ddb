# Game import beside cp -r on one generated game folder; included by bench/CMakeLists.txt.
add_executable(veyra2-import-benchmark ImportBenchmark.cpp)
target_link_libraries(veyra2-import-benchmark PRIVATE veyra2_import veyra2_bench_released_constants
                      veyra2_bench_support)
