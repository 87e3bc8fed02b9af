#A framed group of radio buttons.
tallimo_win_library(fw_radiogroup SOURCES ${CMAKE_CURRENT_LIST_DIR} / radiogroup.cpp DEPS fw_ui)
