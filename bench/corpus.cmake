vyk_add_bench(bench_corpus SOURCES ${CMAKE_CURRENT_LIST_DIR}/CorpusBench.cpp LIBS vyk_corpus)
