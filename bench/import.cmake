# The game-import benchmark; included by bench/CMakeLists.txt.
launcher_constants_source("${CMAKE_CURRENT_BINARY_DIR}/import-benchmark-constants.cpp")
add_executable(import_benchmark "${CMAKE_CURRENT_LIST_DIR}/ImportBenchmark.cpp"
                                "${CMAKE_CURRENT_BINARY_DIR}/import-benchmark-constants.cpp")
target_link_libraries(import_benchmark PRIVATE veyra2_engine)
