# The report component: generation of a report's pages into a page producer.
tallimo_core_library(report_component
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/qr_report.cpp
          ${CMAKE_CURRENT_LIST_DIR}/export_filters.cpp
  DEPS report_layout report_producer)
tallimo_win_library(report_component_win
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/report_window_win.cpp
  DEPS report_component fw_ui gdi32)
# The engine in a Windows program: its host (printers, windows, dialogs) and start-up.
tallimo_win_library(report_engine_win
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/report_engine_win.cpp
  DEPS report_component_win report_printing_win report_standard_preview_win report_progress_form_win
       report_print_dialog_win report_measures_win oleaut32)
