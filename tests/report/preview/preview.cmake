tallimo_test(report_preview_rules_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/preview_rules_test.cpp
  DEPS report_preview_rules)
tallimo_test(report_preview_win_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/qr_preview_win_test.cpp
  DEPS report_preview_win report_printing_win test_support_screenshot)
tallimo_test(report_standard_preview_win_test TIER gui TIMEOUT 300
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/qr_standard_preview_win_test.cpp
  DEPS report_standard_preview_win report_printing_win test_support_pdf_output test_support_screenshot)
tallimo_test(report_progress_form_win_test TIER gui TIMEOUT 300
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/qr_progress_form_win_test.cpp
  DEPS report_progress_form_win report_printing_win test_support_pdf_output test_support_screenshot)
if(TARGET report_standard_preview_win_test)
  target_compile_definitions(report_standard_preview_win_test PRIVATE
    PAGE_FILE_SEEDS="Z:${CMAKE_SOURCE_DIR}/tests/report/pages/page_file_seeds")
endif()
