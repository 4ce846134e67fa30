vyk_add_bench(bench_shell DATA SOURCES ${CMAKE_CURRENT_LIST_DIR}/ShellBench.cpp LIBS vyk_shell)
