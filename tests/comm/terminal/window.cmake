tallimo_test(terminal_window_gui_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/window_gui_test.cpp
  DEPS comm_terminal_window)
