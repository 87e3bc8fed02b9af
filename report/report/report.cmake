# The report component: generation of a report's pages into a page producer.
tallimo_core_library(report_component
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/qr_report.cpp
  DEPS report_layout report_producer)
tallimo_win_library(report_component_win
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/report_window_win.cpp
  DEPS report_component fw_ui gdi32)
