tallimo_test(report_controls_test TIER core
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/line_breaking_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/controls_test.cpp
  DEPS report_controls report_layout_page_model)
tallimo_fuzz_target(report_line_breaking_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/line_breaking_fuzz.cpp
  DEPS report_line_breaking
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/line_breaking_seeds)
