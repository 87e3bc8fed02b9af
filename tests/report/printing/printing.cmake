tallimo_test(report_measures_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/measures_test.cpp DEPS report_measures)
tallimo_test(report_frame_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/frame_test.cpp DEPS report_measures)
tallimo_test(report_measures_win_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/measures_win_test.cpp DEPS report_measures_win)
tallimo_test(report_printer_settings_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/printer_settings_test.cpp DEPS report_printer_settings)
