# The dispatcher core: receive and output rings, line state, triggers and
# notifications, trace and dispatch log, over an abstract lower layer.
tallimo_core_library(comm_dispatcher
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/dispatcher.cpp ${CMAKE_CURRENT_LIST_DIR}/dispatcher_line.cpp
          ${CMAKE_CURRENT_LIST_DIR}/dispatcher_triggers.cpp ${CMAKE_CURRENT_LIST_DIR}/trace.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ordered_lock.cpp ${CMAKE_CURRENT_LIST_DIR}/output_ring.cpp
          ${CMAKE_CURRENT_LIST_DIR}/line_settings.cpp ${CMAKE_CURRENT_LIST_DIR}/trace_log_state.cpp
  DEPS comm_errors comm_misc)
# Notifications to windows.
tallimo_win_library(comm_dispatcher_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/notification_transport_win.cpp
  DEPS comm_dispatcher)
# The dispatcher on the Win32 serial API and its worker threads.
tallimo_win_library(comm_dispatcher_win32 SOURCES ${CMAKE_CURRENT_LIST_DIR}/dispatcher_win.cpp
  DEPS comm_dispatcher_win fw_exceptions)
