tallimo_test(fw_printers_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/printers_test.cpp DEPS fw_printers test_support_pdf_output)
