tallimo_test(report_component_test TIER core
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/report_test.cpp
  DEPS report_component report_layout_page_model)
tallimo_test(report_component_win_test TIER wine
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/report_window_win_test.cpp
  DEPS report_component_win report_layout_page_model)
tallimo_test(report_engine_win_test TIER gui TIMEOUT 300
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/report_engine_win_test.cpp
  DEPS report_engine_win test_support_pdf_output)
