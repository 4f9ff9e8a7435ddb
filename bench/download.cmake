# The cost of watching a download, with and without the watch; included by bench/CMakeLists.txt.
# The released constants: the test build's stall limit is seconds short.
launcher_constants_source("${CMAKE_CURRENT_BINARY_DIR}/download-watch-benchmark-constants.cpp")
add_executable(veyra2-download-watch-benchmark DownloadWatchBenchmark.cpp
               "${CMAKE_CURRENT_BINARY_DIR}/download-watch-benchmark-constants.cpp")
target_link_libraries(veyra2-download-watch-benchmark PRIVATE veyra2_runtime veyra2_test_support veyra2_bench_support)
set_target_properties(veyra2-download-watch-benchmark PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}")
