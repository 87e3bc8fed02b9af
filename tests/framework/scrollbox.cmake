tallimo_test(fw_scrollbox_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/scrollbox_test.cpp DEPS fw_scrollbox)
