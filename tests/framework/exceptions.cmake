tallimo_test(fw_exceptions_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/exceptions_test.cpp DEPS fw_exceptions)
