tallimo_test(fw_format_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/format_test.cpp DEPS fw_format)
