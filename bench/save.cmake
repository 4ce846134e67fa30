vyk_add_bench(bench_save SOURCES ${CMAKE_CURRENT_LIST_DIR}/SaveBench.cpp LIBS vyk_corpus)
