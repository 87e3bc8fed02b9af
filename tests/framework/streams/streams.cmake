tallimo_test(fw_date_time_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/date_time_test.cpp DEPS fw_streams)
tallimo_test(fw_file_stream_win_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_stream_win_test.cpp DEPS fw_streams_win)
