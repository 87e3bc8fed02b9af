tallimo_test(capture_log_viewer_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/log_viewer_test.cpp DEPS capture_log_viewer)
