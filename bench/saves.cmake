# The launch's snapshot of the saves beside cp -r of the same tree; included by bench/CMakeLists.txt.
add_executable(veyra2-snapshot-benchmark SnapshotBenchmark.cpp)
target_link_libraries(veyra2-snapshot-benchmark PRIVATE veyra2_app veyra2_bench_support)
