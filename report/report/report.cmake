# The report component: generation of a report's pages into a page producer.
tallimo_core_library(report_component
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/qr_report.cpp
  DEPS report_layout report_producer)
