vyk_add_bench(bench_window SOURCES ${CMAKE_CURRENT_LIST_DIR}/WindowBench.cpp LIBS vyk_window)
