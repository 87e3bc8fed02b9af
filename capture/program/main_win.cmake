# The main window of the capture program.
tallimo_win_library(capture_main_win
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/main_win.cpp
  DEPS capture_core capture_support_win capture_about capture_log_viewer comm_port_win comm_terminal comm_port_component comm_status_light_win fw_locale
       comm_tapi_device_win comm_tapi_select_form_win fw_ui)
