tallimo_test(report_qr_compress_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/qr_compress_test.cpp DEPS report_page_store)
tallimo_test(report_qr_stream_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/qr_stream_test.cpp DEPS report_page_store)
tallimo_test(report_qr_page_list_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/qr_page_list_test.cpp DEPS report_page_store)
