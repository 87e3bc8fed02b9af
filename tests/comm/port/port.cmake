# The serial port component: natively over the in-memory driver, on COM ports
# of the prefix through the test cable, and its port selection dialog.
tallimo_test(com_port_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/com_port_test.cpp
  DEPS comm_port test_support_fake_dispatcher)
tallimo_test(com_port_win_test TIER wine TIMEOUT 300 SOURCES ${CMAKE_CURRENT_LIST_DIR}/com_port_win_test.cpp
  DEPS comm_port_win test_support_pty_cable)
# With the modem-line stand-in preloaded into Wine: declared by hand, since it
# needs its own environment.
if(TALLIMO_WINDOWS AND NOT TALLIMO_FUZZ)
  add_executable(modem_lines_win_test ${CMAKE_CURRENT_LIST_DIR}/modem_lines_win_test.cpp)
  target_compile_options(modem_lines_win_test PRIVATE ${TALLIMO_WARNINGS})
  target_include_directories(modem_lines_win_test PRIVATE ${TALLIMO_ROOT})
  target_link_libraries(modem_lines_win_test PRIVATE comm_port_win test_support_pty_cable GTest::gtest_main)
  add_dependencies(modem_lines_win_test pty_modem_shim)
  add_test(NAME modem_lines_win_test.ModemLines.ACtsDropFiresTheModemStatusTrigger
           COMMAND modem_lines_win_test --gtest_filter=ModemLines.ACtsDropFiresTheModemStatusTrigger
           WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(modem_lines_win_test.ModemLines.ACtsDropFiresTheModemStatusTrigger PROPERTIES
    LABELS wine TIMEOUT 120
    ENVIRONMENT "${PTY_MODEM_SHIM_ENVIRONMENT};PTY_MODEM_LINES=${CMAKE_CURRENT_BINARY_DIR}/modem_lines.txt")
endif()
tallimo_test(com_select_form_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/select_form_test.cpp
  DEPS comm_port_win test_support_pty_cable)
# The controller on the port component over the in-memory driver.
tallimo_test(com_port_component_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/com_port_component_test.cpp
  DEPS comm_port_component test_support_fake_dispatcher)
# Port errors with no handler of the port's own: the application's box, read
# back from the screen.
tallimo_test(com_port_error_box_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/error_box_test.cpp
  DEPS comm_port_win test_support_pty_cable)
