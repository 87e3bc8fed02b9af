# The terminal control over the terminal window, with its emulators.
tallimo_win_library(comm_terminal SOURCES ${CMAKE_CURRENT_LIST_DIR}/terminal_win.cpp
  DEPS comm_terminal_window comm_emulator_components comm_port_component comm_errors fw_ui)
