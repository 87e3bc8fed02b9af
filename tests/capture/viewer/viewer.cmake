tallimo_test(capture_log_viewer_test TIER gui TIMEOUT 300 SOURCES ${CMAKE_CURRENT_LIST_DIR}/viewer_test.cpp
  DEPS capture_log_viewer test_support_screenshot test_support_pdf_output)
if(TALLIMO_WINDOWS)
  # The program the print tests associate with a file type of their own.
  add_executable(shell_verb_recorder ${CMAKE_CURRENT_LIST_DIR}/shell_verb_recorder.cpp)
  _tallimo_common(shell_verb_recorder)
  add_dependencies(capture_log_viewer_test shell_verb_recorder)
endif()
