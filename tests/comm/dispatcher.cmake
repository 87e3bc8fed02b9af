# The dispatcher over the in-memory driver: rings, output, line state,
# notifications, triggers, trace and log.
tallimo_test(dispatcher_test TIER core
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/dispatcher_test.cpp ${CMAKE_CURRENT_LIST_DIR}/dispatcher_triggers_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/line_settings_test.cpp
  DEPS test_support_fake_dispatcher)
tallimo_test(dispatch_trace_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/dispatch_trace_test.cpp
  DEPS test_support_fake_dispatcher)
if(TARGET dispatch_trace_test)
  target_compile_definitions(dispatch_trace_test PRIVATE COMM_STR0_DIR="${CMAKE_BINARY_DIR}/comm/str0"
                             COMM_TEST_DIR="${CMAKE_CURRENT_LIST_DIR}")
  add_dependencies(dispatch_trace_test comm_string_tables)
endif()
# Notifications through real window messages, under Wine.
tallimo_test(dispatcher_notify_win_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/dispatcher_notify_win_test.cpp
  DEPS test_support_fake_dispatcher comm_dispatcher_win)
# The Win32 dispatcher on a COM port of the prefix, through the test cable.
tallimo_test(dispatcher_port_win_test TIER wine TIMEOUT 300
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/dispatcher_port_win_test.cpp DEPS comm_dispatcher_win32 test_support_pty_cable)
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
    ENVIRONMENT "LD_PRELOAD=${PTY_MODEM_SHIM};PTY_MODEM_LINES=${CMAKE_CURRENT_BINARY_DIR}/modem_lines.txt")
endif()
