tallimo_test(capture_search_results_report_test TIER core
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/search_results_report_test.cpp
  DEPS capture_search_results_report report_layout_page_model)
if(TALLIMO_WINDOWS)
  tallimo_test(capture_search_results_printing_test TIER gui TIMEOUT 300
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/search_results_printing_test.cpp
    DEPS capture_log_viewer test_support_pdf_output)
endif()
if(TALLIMO_WINDOWS)
  tallimo_test(capture_search_results_preview_test TIER gui TIMEOUT 120
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/search_results_preview_test.cpp
    DEPS capture_log_viewer)
endif()
