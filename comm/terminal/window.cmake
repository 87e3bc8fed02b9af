# The terminal window class over the screen buffer.
tallimo_win_library(comm_terminal_window SOURCES ${CMAKE_CURRENT_LIST_DIR}/window_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_view_win.cpp ${CMAKE_CURRENT_LIST_DIR}/window_input_win.cpp
  DEPS comm_screen_buffer comm_capture_writer comm_dispatcher comm_dispatcher_win comm_key_map fw_ui gdi32)
