# Report layout: printables, bands, controllers, groups and sub-details.
tallimo_core_library(report_layout
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/qr_control.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qr_printable.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qr_bands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout_report.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qr_controllers.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bind_query_params.cpp
  DEPS report_expressions report_measures fw_component)
