tallimo_test(report_qr_compress_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/compress_test.cpp DEPS report_page_store)
tallimo_test(report_qr_stream_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/stream_test.cpp DEPS report_page_store)
tallimo_test(report_qr_page_list_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/page_list_test.cpp DEPS report_page_store)
tallimo_test(report_qr_files_win_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/files_win_test.cpp DEPS report_page_store_win)
tallimo_fuzz_target(report_page_file_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/page_file_fuzz.cpp
  DEPS report_page_store report_producer CORPUS ${CMAKE_CURRENT_LIST_DIR}/page_file_seeds)
