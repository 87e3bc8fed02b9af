# A DDE client conversation over the system's DDE management library (Win32).
tallimo_win_library(fw_dde SOURCES ${CMAKE_CURRENT_LIST_DIR}/dde_win.cpp DEPS user32)
