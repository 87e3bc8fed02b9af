# The dispatcher over the in-memory driver: rings, output, line state,
# notifications, triggers, trace and log.
tallimo_test(dispatcher_test TIER core
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/dispatcher_test.cpp ${CMAKE_CURRENT_LIST_DIR}/dispatcher_triggers_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/line_settings_test.cpp
  DEPS test_support_fake_dispatcher)
tallimo_test(dispatch_trace_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/trace_test.cpp
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
