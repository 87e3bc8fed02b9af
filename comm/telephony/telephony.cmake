# Telephony: run-time binding of the library and checked record reads.
tallimo_core_library(comm_tapi_binding
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/binding.cpp ${CMAKE_CURRENT_LIST_DIR}/records.cpp
  DEPS comm_errors fw_library)
tallimo_win_library(comm_tapi_loader_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/loader_win.cpp DEPS comm_tapi_binding fw_library_win)
# The call log: lines by code (core), locale timestamps and the history file (Windows).
tallimo_core_library(comm_tapi_log SOURCES ${CMAKE_CURRENT_LIST_DIR}/call_log.cpp
  DEPS comm_errors fw_component comm_component_insertion)
tallimo_win_library(comm_tapi_log_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/call_log_win.cpp DEPS comm_tapi_log fw_exceptions fw_locale)
# The line device: call flow, retries and the port hand-over (core, with its host injected).
tallimo_core_library(comm_tapi_device SOURCES ${CMAKE_CURRENT_LIST_DIR}/device.cpp
  ${CMAKE_CURRENT_LIST_DIR}/line_app.cpp ${CMAKE_CURRENT_LIST_DIR}/line_messages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/port_handover.cpp ${CMAKE_CURRENT_LIST_DIR}/call_fields.cpp
  ${CMAKE_CURRENT_LIST_DIR}/status_display.cpp
  DEPS comm_tapi_binding comm_tapi_log comm_errors comm_port fw_component comm_component_insertion)
tallimo_win_library(comm_tapi_device_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/device_win.cpp
  DEPS comm_tapi_device comm_tapi_loader_win fw_ui)
# The one rule that tells a port's name from a telephony line's.
tallimo_core_library(comm_direct_port_name SOURCES ${CMAKE_CURRENT_LIST_DIR}/direct_port_name.cpp)
# The device selection dialog's rules (listing, preselection, the chosen item).
tallimo_core_library(comm_tapi_device_list SOURCES ${CMAKE_CURRENT_LIST_DIR}/device_list.cpp
  DEPS comm_tapi_binding comm_tapi_device comm_direct_port_name)
# The device selection dialog.
tallimo_win_library(comm_tapi_select_form_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/select_form_win.cpp
  DEPS comm_tapi_device_list comm_tapi_loader_win comm_port_win fw_ui)
