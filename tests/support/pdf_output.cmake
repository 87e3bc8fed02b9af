tallimo_win_library(test_support_pdf_output SOURCES ${CMAKE_CURRENT_LIST_DIR} /
                    pdf_output_win.cpp DEPS test_support_pty_cable)
