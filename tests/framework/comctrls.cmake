tallimo_test(fw_comctrls_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/comctrls_test.cpp DEPS fw_comctrls)
