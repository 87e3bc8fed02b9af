# The main window on real windows. The test program sits in a folder of its own:
# its folder is where the window keeps capture files and settings. Its cases run
# alone: they share that folder, and their windows and boxes would cover the
# screens that other window tests read.
if(TALLIMO_WINDOWS)
  add_executable(capture_main_test ${CMAKE_CURRENT_LIST_DIR}/main_test.cpp)
  _tallimo_common(capture_main_test)
  target_link_libraries(capture_main_test PRIVATE capture_main_win test_support_pty_cable GTest::gtest_main
                        GTest::gmock ${CMAKE_BINARY_DIR}/capture/tallimo_res.o)
  set_target_properties(capture_main_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/capture_main)
  # The about box reads the capture program's version resource.
  add_dependencies(capture_main_test tallimo_version_resource)
  gtest_discover_tests(capture_main_test
    TEST_PREFIX "capture_main_test."
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES LABELS gui TIMEOUT 120 RUN_SERIAL TRUE)
endif()
