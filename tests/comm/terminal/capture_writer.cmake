tallimo_test(capture_writer_win_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/capture_writer_win_test.cpp
             DEPS comm_screen_buffer comm_capture_writer)
