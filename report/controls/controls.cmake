# The printable controls: labels, expressions, system data and shapes.
tallimo_core_library(report_line_breaking SOURCES ${CMAKE_CURRENT_LIST_DIR}/line_breaking.cpp)
tallimo_core_library(report_controls
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/qr_controls.cpp
  DEPS report_line_breaking report_component)
