vyk_add_bench(bench_shell SOURCES ${CMAKE_CURRENT_LIST_DIR}/ShellBench.cpp LIBS vyk_shell)
target_compile_definitions(bench_shell PRIVATE VYK_BUILD_DATA_DIR="${CMAKE_BINARY_DIR}/data")
add_dependencies(bench_shell vyk_data)
