# The launcher's own overhead over the external programs of a complete setup.
# The timing shim stands in front of external programs to learn their own run
# times; veyra2_shim_timing places it and reads what it logged.
add_executable(veyra2-timing-shim TimingShim.cpp)
add_library(veyra2_shim_timing STATIC ShimTiming.cpp)
target_link_libraries(veyra2_shim_timing PUBLIC veyra2_bench_support veyra2_test_support)
target_compile_definitions(veyra2_shim_timing PRIVATE VEYRA2_TIMING_SHIM="$<TARGET_FILE:veyra2-timing-shim>")
add_dependencies(veyra2_shim_timing veyra2-timing-shim)

add_executable(veyra2-setup-benchmark SetupOverheadBenchmark.cpp)
target_link_libraries(veyra2-setup-benchmark PRIVATE veyra2_app veyra2_test_support veyra2_test_constants
                      veyra2_shim_timing)
