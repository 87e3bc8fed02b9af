tallimo_test(setup_instance_key_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/instance_key_test.cpp
  DEPS setup_install_rules)

if(TALLIMO_WINDOWS)
  # A small installer whose grab call logs every event it sees.
  add_executable(test_installer WIN32 ${CMAKE_CURRENT_LIST_DIR}/fixtures/test_installer.cpp ${SETUP_THEME_RES})
  set_source_files_properties(${SETUP_THEME_RES} PROPERTIES GENERATED TRUE)
  add_dependencies(test_installer setup_theme_resource)
  _tallimo_common(test_installer)
  target_link_libraries(test_installer PRIVATE setup_run_win)

  tallimo_test(setup_install_run_test TIER gui TIMEOUT 240 SOURCES ${CMAKE_CURRENT_LIST_DIR}/install_run_win_test.cpp
    DEPS setup_archive_win setup_base fw_registry test_support_loopback_server)
  add_dependencies(setup_install_run_test test_installer)

  # What the setup program connects on this machine: hourglass, cancel flag,
  # and the build behind the State setters.
  tallimo_test(setup_program_hooks_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/program_hooks_win_test.cpp
    DEPS setup_run_win)

  # The run's wizards in this process; the program carries the pages' picture.
  tallimo_test(setup_install_run_wizard_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/install_run_wizard_win_test.cpp
    ${SETUP_THEME_RES} DEPS setup_run_win test_support_screenshot)
  add_dependencies(setup_install_run_wizard_test setup_theme_resource)
endif()

if(TALLIMO_WINDOWS)
  # Whole runs across a restart of Windows, in a prefix of their own.
  add_executable(setup_restart_run_driver ${CMAKE_CURRENT_LIST_DIR}/fixtures/restart_run_driver.cpp)
  _tallimo_common(setup_restart_run_driver)
  target_link_libraries(setup_restart_run_driver PRIVATE setup_archive_win fw_registry)
  add_dependencies(setup_restart_run_driver test_installer)
  add_test(NAME setup_install_run_restart.RunsEndAfterTheRestartTheyAskedFor
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/restart_run.sh ${CMAKE_BINARY_DIR} $<TARGET_FILE:setup_restart_run_driver>)
  set_tests_properties(setup_install_run_restart.RunsEndAfterTheRestartTheyAskedFor PROPERTIES LABELS wine TIMEOUT 300)
endif()
