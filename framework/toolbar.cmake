# The tool bar with its buttons, and the speed button.
tallimo_win_library(fw_toolbar SOURCES ${CMAKE_CURRENT_LIST_DIR}/toolbar.cpp DEPS fw_ui fw_imagelist comctl32)
