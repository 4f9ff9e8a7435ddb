# Game import beside cp -r on one generated game folder; included by bench/CMakeLists.txt.
launcher_constants_source("${CMAKE_CURRENT_BINARY_DIR}/import-benchmark-constants.cpp")
add_executable(veyra2-import-benchmark ImportBenchmark.cpp "${CMAKE_CURRENT_BINARY_DIR}/import-benchmark-constants.cpp")
target_link_libraries(veyra2-import-benchmark PRIVATE veyra2_import veyra2_bench_support)
set_target_properties(veyra2-import-benchmark PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}")
