# The registry access over advapi32 (Win32).
tallimo_win_library(fw_registry SOURCES ${CMAKE_CURRENT_LIST_DIR}/registry_win.cpp DEPS advapi32)
