# The main window on real windows. The test program sits in a folder of its own:
# its folder is where the window keeps capture files and settings, which its
# cases share: they run one after another in one process, on a display of
# their own. The stand-in telephony library lies beside the program and is
# preferred to Wine's, so that calls can be played.
if(TALLIMO_WINDOWS)
  block()
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env WINEDLLOVERRIDES=tapi32=n ${CMAKE_CROSSCOMPILING_EMULATOR})
  add_executable(capture_main_test ${CMAKE_CURRENT_LIST_DIR}/main_test.cpp)
  _tallimo_common(capture_main_test)
  target_link_libraries(capture_main_test PRIVATE capture_main_win test_support_pty_cable test_support_tapi_script
                        GTest::gtest_main
                        GTest::gmock ${CMAKE_BINARY_DIR}/capture/tallimo_res.o)
  set_target_properties(capture_main_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/capture_main)
  # The about box reads the capture program's version resource.
  add_dependencies(capture_main_test tallimo_version_resource tapi_standin)
  add_custom_command(TARGET capture_main_test POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:tapi_standin> $<TARGET_FILE_DIR:capture_main_test>
    VERBATIM)
  gtest_discover_tests(capture_main_test
    TEST_PREFIX "capture_main_test."
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES LABELS gui TIMEOUT 120)
  endblock()
endif()
