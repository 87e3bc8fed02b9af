tallimo_core_library(report_layout_page_model
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/page_model.cpp
  DEPS report_layout)
tallimo_test(report_layout_test TIER core
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/printable_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/band_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/controller_test.cpp
  DEPS report_layout_page_model)
tallimo_fuzz_target(report_layout_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/layout_fuzz.cpp
  DEPS report_layout_page_model
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/layout_fuzz_seeds)
