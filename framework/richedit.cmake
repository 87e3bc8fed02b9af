#The rich - text box(system rich edit control).
tallimo_win_library(fw_richedit SOURCES ${CMAKE_CURRENT_LIST_DIR} / richedit.cpp DEPS fw_ui)
