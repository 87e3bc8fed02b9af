tallimo_test(fw_toolbar_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/toolbar_test.cpp DEPS fw_toolbar)
