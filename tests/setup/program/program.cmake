if(TALLIMO_WINDOWS)
  # The setup program from end to end, each test in a prefix of its own:
  # build, cancel, install through the wizard; and an install that replaces a
  # running program across a restart of Windows.
  foreach(driver wendmere_e2e_test wendmere_restart_e2e_test)
    add_executable(${driver} ${CMAKE_CURRENT_LIST_DIR}/${driver}.cpp)
    _tallimo_common(${driver})
    target_compile_options(${driver} PRIVATE -O1)
    target_link_libraries(${driver} PRIVATE setup_base fw_registry GTest::gtest_main)
    tallimo_with_stand_ins(${driver})
    add_dependencies(${driver} Wendmere Tallimo)
  endforeach()
  target_link_libraries(wendmere_e2e_test PRIVATE test_support_screenshot ole32 uuid)
  add_test(NAME wendmere_e2e.BuildCancelInstall
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/wendmere_run.sh ${CMAKE_BINARY_DIR} $<TARGET_FILE:wendmere_e2e_test>)
  add_test(NAME wendmere_e2e.RestartReplacesTheRunningProgram
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/wendmere_run.sh ${CMAKE_BINARY_DIR}
                   $<TARGET_FILE:wendmere_restart_e2e_test> wendmere-restart-e2e)
  set_tests_properties(wendmere_e2e.BuildCancelInstall wendmere_e2e.RestartReplacesTheRunningProgram
                       PROPERTIES LABELS e2e TIMEOUT 600)
endif()
