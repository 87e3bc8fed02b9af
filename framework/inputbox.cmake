# The one-line input box.
tallimo_win_library(fw_inputbox SOURCES ${CMAKE_CURRENT_LIST_DIR}/inputbox.cpp DEPS fw_ui)
