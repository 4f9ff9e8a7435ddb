# The cost of watching a download, with and without the watch; included by bench/CMakeLists.txt.
add_executable(veyra2-download-watch-benchmark DownloadWatchBenchmark.cpp)
target_link_libraries(veyra2-download-watch-benchmark PRIVATE veyra2_runtime veyra2_bench_released_constants
                      veyra2_test_support veyra2_bench_support)

# The bytes a dropped connection makes the download fetch again.
add_executable(veyra2-resume-cost-benchmark ResumeCostBenchmark.cpp)
target_link_libraries(veyra2-resume-cost-benchmark PRIVATE veyra2_runtime veyra2_bench_released_constants
                      veyra2_test_support veyra2_bench_support)
