# Find All over a capture-sized log beside `grep -n -i -F` on the same file.
tallimo_benchmark(log_search_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/search_bench.cpp DEPS capture_log_search)
