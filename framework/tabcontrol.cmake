#Tabs that can be hidden one by one(system tab control).
tallimo_win_library(fw_tabcontrol SOURCES ${CMAKE_CURRENT_LIST_DIR} / tabcontrol.cpp DEPS fw_ui comctl32)
