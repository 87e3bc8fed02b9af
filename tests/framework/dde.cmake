tallimo_dde_standin_test(fw_dde_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/dde_win_test.cpp DEPS fw_dde)
