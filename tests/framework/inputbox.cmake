tallimo_test(fw_inputbox_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/inputbox_test.cpp DEPS fw_inputbox)
