tallimo_test(terminal_e2e_test TIER e2e TIMEOUT 300 SOURCES ${CMAKE_CURRENT_LIST_DIR}/e2e_test.cpp
  DEPS comm_terminal comm_port_win test_support_pty_cable)
tallimo_test(terminal_component_gui_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/component_gui_test.cpp
  DEPS comm_terminal test_support_fake_dispatcher)
