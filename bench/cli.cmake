# The command line's start beside the same program built without the desktop
# front end; included by bench/CMakeLists.txt.
veyra2_add_program(veyra2-launcher-cli-only NO_DESKTOP)
add_executable(veyra2-cli-start-benchmark CliStartBenchmark.cpp)
target_link_libraries(veyra2-cli-start-benchmark PRIVATE veyra2_bench_support)
target_compile_definitions(veyra2-cli-start-benchmark PRIVATE
  VEYRA2_LAUNCHER_PROGRAM="$<TARGET_FILE:veyra2-launcher>"
  VEYRA2_CLI_ONLY_PROGRAM="$<TARGET_FILE:veyra2-launcher-cli-only>")
add_dependencies(veyra2-cli-start-benchmark veyra2-launcher veyra2-launcher-cli-only)
