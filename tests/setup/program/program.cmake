if(TALLIMO_WINDOWS)
  # The setup program from end to end, in a prefix of its own: build, cancel,
  # install through the wizard.
  add_executable(wendmere_e2e_test ${CMAKE_CURRENT_LIST_DIR}/wendmere_e2e_test.cpp)
  _tallimo_common(wendmere_e2e_test)
  target_compile_options(wendmere_e2e_test PRIVATE -O1)
  target_link_libraries(wendmere_e2e_test PRIVATE setup_base fw_registry test_support_screenshot
    GTest::gtest_main ole32 uuid)
  tallimo_with_stand_ins(wendmere_e2e_test)
  add_dependencies(wendmere_e2e_test Wendmere Tallimo)
  add_test(NAME wendmere_e2e.BuildCancelInstall
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/wendmere_run.sh ${CMAKE_BINARY_DIR} $<TARGET_FILE:wendmere_e2e_test>)
  set_tests_properties(wendmere_e2e.BuildCancelInstall PROPERTIES LABELS e2e TIMEOUT 600)
endif()
