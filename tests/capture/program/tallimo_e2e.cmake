# The whole program under Wine, over the test cable, with the stand-in
# telephony library beside the test (copied beside the program by the test
# that dials). The printing test reads the PDF test printer's output.
if(TALLIMO_WINDOWS)
  tallimo_tapi_standin_test(tallimo_e2e_test TIER e2e SOURCES ${CMAKE_CURRENT_LIST_DIR}/tallimo_e2e_test.cpp
                            DEPS test_support_pty_cable test_support_pdf_output test_support_screenshot
                            TIMEOUT 300)
  add_dependencies(tallimo_e2e_test Tallimo)
endif()
