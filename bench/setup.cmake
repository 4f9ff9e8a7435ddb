# The launcher's own overhead over the external programs of a complete setup.
add_executable(veyra2-timing-shim TimingShim.cpp)
add_executable(veyra2-setup-benchmark SetupOverheadBenchmark.cpp ShimTiming.cpp)
target_link_libraries(veyra2-setup-benchmark PRIVATE veyra2_app veyra2_test_support veyra2_test_constants
                      veyra2_bench_support)
target_compile_definitions(veyra2-setup-benchmark PRIVATE VEYRA2_TIMING_SHIM="$<TARGET_FILE:veyra2-timing-shim>")
add_dependencies(veyra2-setup-benchmark veyra2-timing-shim)
set_target_properties(veyra2-setup-benchmark PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}")
