# Common controls: the progress bar and the status bar.
tallimo_win_library(fw_comctrls SOURCES ${CMAKE_CURRENT_LIST_DIR}/comctrls.cpp DEPS fw_ui comctl32)
