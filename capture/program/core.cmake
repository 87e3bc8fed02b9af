# The capture program's logic without windows: the received-character filter,
# capture-file naming and rollover, and the connection flow.
tallimo_core_library(capture_core
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/received_char_filter.cpp
          ${CMAKE_CURRENT_LIST_DIR}/files.cpp
          ${CMAKE_CURRENT_LIST_DIR}/session.cpp
          ${CMAKE_CURRENT_LIST_DIR}/connection_rules.cpp
          ${CMAKE_CURRENT_LIST_DIR}/connection_flow.cpp
  DEPS fw_exceptions)
