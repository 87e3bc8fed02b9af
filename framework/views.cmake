# The tree view and the report-style list view (system common controls).
tallimo_win_library(fw_treeview SOURCES ${CMAKE_CURRENT_LIST_DIR}/treeview.cpp DEPS fw_ui comctl32)
tallimo_win_library(fw_listview SOURCES ${CMAKE_CURRENT_LIST_DIR}/listview.cpp DEPS fw_ui comctl32)
