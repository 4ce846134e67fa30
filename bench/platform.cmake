vyk_add_bench(bench_platform SOURCES ${CMAKE_CURRENT_LIST_DIR}/PlatformBench.cpp LIBS vyk_platform vyk_corpus)
