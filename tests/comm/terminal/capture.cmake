tallimo_core_library(comm_test_file_writer SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_capture_writer.cpp)
tallimo_test(capture_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/capture_test.cpp
             DEPS comm_screen_buffer comm_test_file_writer)
