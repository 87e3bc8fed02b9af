tallimo_test(fw_date_time_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/date_time_test.cpp DEPS fw_streams)
