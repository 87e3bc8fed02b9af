tallimo_test(report_measures_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/measures_test.cpp DEPS report_measures)
tallimo_test(report_frame_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/frame_test.cpp DEPS report_measures)
tallimo_test(report_measures_win_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/measures_win_test.cpp DEPS report_measures_win)
tallimo_test(report_printer_settings_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/printer_settings_test.cpp DEPS report_printer_settings)
tallimo_test(report_qr_printer_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/qr_printer_test.cpp DEPS report_producer)
# The damaged page files of the page store's fuzz seeds (Wine sees the host's root as Z:).
if(TARGET report_qr_printer_test)
  if(TALLIMO_WINDOWS)
    set(_seed_drive "Z:")
  endif()
  target_compile_definitions(report_qr_printer_test PRIVATE
    PAGE_FILE_SEEDS="${_seed_drive}${TALLIMO_ROOT}/tests/report/pages/page_file_seeds")
endif()
tallimo_test(report_printing_win_test TIER wine TIMEOUT 300 SOURCES ${CMAKE_CURRENT_LIST_DIR}/printing_win_test.cpp
  DEPS report_printing_win test_support_pdf_output)
tallimo_test(report_print_dialog_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/print_dialog_test.cpp DEPS report_producer)
tallimo_test(report_print_dialog_win_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/print_dialog_win_test.cpp
  DEPS report_print_dialog_win test_support_pdf_output test_support_screenshot)
