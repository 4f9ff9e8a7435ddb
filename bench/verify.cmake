# Verification's time apart from its wine calls, and the game file list's cost
# to the import; included by bench/CMakeLists.txt after setup.cmake, whose timing
# shim it uses.
add_executable(veyra2-verify-benchmark VerifyBenchmark.cpp ShimTiming.cpp)
target_link_libraries(veyra2-verify-benchmark PRIVATE veyra2_app veyra2_test_support veyra2_test_constants
                      veyra2_bench_support)
target_compile_definitions(veyra2-verify-benchmark PRIVATE VEYRA2_TIMING_SHIM="$<TARGET_FILE:veyra2-timing-shim>")
add_dependencies(veyra2-verify-benchmark veyra2-timing-shim)
set_target_properties(veyra2-verify-benchmark PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}")
