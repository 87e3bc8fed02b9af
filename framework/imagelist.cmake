# Lists of equally sized images (the system's image list).
tallimo_win_library(fw_imagelist SOURCES ${CMAKE_CURRENT_LIST_DIR}/imagelist.cpp DEPS fw_ui comctl32)
