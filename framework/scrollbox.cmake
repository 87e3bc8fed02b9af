# The scroll box: children beyond the box's edges shown through scroll bars.
tallimo_win_library(fw_scrollbox SOURCES ${CMAKE_CURRENT_LIST_DIR}/scrollbox.cpp DEPS fw_ui)
