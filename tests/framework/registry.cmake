tallimo_test(fw_registry_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/registry_win_test.cpp DEPS fw_registry)
