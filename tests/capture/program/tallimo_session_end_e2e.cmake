# The capture program when Windows ends the session, in a prefix of its own,
# over the test cable and, for a call, the stand-in telephony library.
if(TALLIMO_WINDOWS)
  add_executable(tallimo_session_end_e2e_test ${CMAKE_CURRENT_LIST_DIR}/tallimo_session_end_e2e_test.cpp)
  _tallimo_common(tallimo_session_end_e2e_test)
  target_link_libraries(tallimo_session_end_e2e_test PRIVATE test_support_pty_cable test_support_tapi_script
                                                             GTest::gtest_main)
  add_dependencies(tallimo_session_end_e2e_test Tallimo tapi_standin)
  add_custom_command(TARGET tallimo_session_end_e2e_test POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:tapi_standin>
            $<TARGET_FILE_DIR:tallimo_session_end_e2e_test>
    VERBATIM)
  add_test(NAME tallimo_session_end_e2e.HeldJournalIsOnDiskWhenWindowsEndsTheSession
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/tallimo_session_end_run.sh ${CMAKE_BINARY_DIR}
                   $<TARGET_FILE:tallimo_session_end_e2e_test>)
  set_tests_properties(tallimo_session_end_e2e.HeldJournalIsOnDiskWhenWindowsEndsTheSession
                       PROPERTIES LABELS e2e TIMEOUT 600)
endif()
