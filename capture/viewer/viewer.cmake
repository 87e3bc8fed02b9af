# The log viewer and its search results windows; the shell and file access they use.
tallimo_win_library(capture_log_viewer SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/file_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/search_results_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_print_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/view_logs_win.cpp
  DEPS capture_log_search capture_search_results_report report_engine_win capture_about capture_core capture_support_win fw_ui shlwapi shell32)
