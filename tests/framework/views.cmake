tallimo_test(fw_views_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/views_test.cpp DEPS fw_treeview fw_listview)
