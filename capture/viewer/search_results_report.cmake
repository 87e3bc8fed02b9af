# The printout of a search's matching lines (core).
tallimo_core_library(capture_search_results_report SOURCES ${CMAKE_CURRENT_LIST_DIR}/search_results_report.cpp
  DEPS report_controls)
