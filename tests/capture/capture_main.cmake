# The main window on real windows. The test program sits in a folder of its own:
# its folder is where the window keeps capture files and settings, which its
# cases share: they run one after another in one process, on a display of
# their own.
if(TALLIMO_WINDOWS)
  add_executable(capture_main_test ${CMAKE_CURRENT_LIST_DIR}/capture_main_test.cpp)
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
    PROPERTIES LABELS gui TIMEOUT 120)
endif()
