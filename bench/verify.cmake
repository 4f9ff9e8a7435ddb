# Verification's time apart from its wine calls, and the game file list's cost
# to the import; included by bench/CMakeLists.txt after setup.cmake, whose timing
# shim it uses.
add_executable(veyra2-verify-benchmark VerifyBenchmark.cpp)
target_link_libraries(veyra2-verify-benchmark PRIVATE veyra2_app veyra2_test_support veyra2_test_constants
                      veyra2_shim_timing)

# The game-file check of --verify beside a plain lstat() of the same files, at two sizes.
add_executable(veyra2-game-check-benchmark GameCheckBenchmark.cpp)
target_link_libraries(veyra2-game-check-benchmark PRIVATE veyra2_app veyra2_bench_released_constants
                      veyra2_bench_support)
