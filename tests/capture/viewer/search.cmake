tallimo_test(capture_log_search_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/search_test.cpp DEPS capture_log_search)
