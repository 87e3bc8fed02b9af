# Support library of the capture program: message table, exceptions, number
# rules and the settings store (core), and its Windows side.
tallimo_core_library(capture_support
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/support_messages.cpp ${CMAKE_CURRENT_LIST_DIR}/support_exceptions.cpp
          ${CMAKE_CURRENT_LIST_DIR}/number_text.cpp ${CMAKE_CURRENT_LIST_DIR}/location.cpp
          ${CMAKE_CURRENT_LIST_DIR}/reg_ini.cpp
  DEPS comm_str0 fw_component)
# The message table is an object file on the link line of every program that
# uses this library (a resource in a static library would never be pulled).
tallimo_win_library(capture_support_win
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_win.cpp
  DEPS capture_support comm_base_win fw_version_info_win)
if(TALLIMO_WINDOWS)
  add_dependencies(capture_support_win capture_support_resources)
  target_link_libraries(capture_support_win INTERFACE ${CMAKE_BINARY_DIR}/capture/str0/support_strings_res.o)
endif()
