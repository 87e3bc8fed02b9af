# The setup module's start-up in a test program that starts no COM itself.
tallimo_test(setup_startup_win_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/startup_win_test.cpp
  DEPS setup_program_win)

if(TALLIMO_WINDOWS)
  # The setup program from end to end, each test in a prefix of its own:
  # build, cancel, install through the wizard; and an install that replaces a
  # running program across a restart of Windows.
  foreach(driver wendmere_e2e_test wendmere_restart_e2e_test)
    add_executable(${driver} ${CMAKE_CURRENT_LIST_DIR}/${driver}.cpp)
    _tallimo_common(${driver})
    target_compile_options(${driver} PRIVATE -O1)
    target_link_libraries(${driver} PRIVATE setup_base fw_registry test_support_screenshot GTest::gtest_main)
    tallimo_with_stand_ins(${driver})
    add_dependencies(${driver} Wendmere Tallimo)
  endforeach()
  target_link_libraries(wendmere_e2e_test PRIVATE ole32 uuid)
  add_test(NAME wendmere_e2e.BuildCancelInstall
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/wendmere_run.sh ${CMAKE_BINARY_DIR} $<TARGET_FILE:wendmere_e2e_test>)
  add_test(NAME wendmere_e2e.RestartReplacesTheRunningProgram
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/wendmere_run.sh ${CMAKE_BINARY_DIR}
                   $<TARGET_FILE:wendmere_restart_e2e_test> wendmere-restart-e2e)
  set_tests_properties(wendmere_e2e.BuildCancelInstall wendmere_e2e.RestartReplacesTheRunningProgram
                       PROPERTIES LABELS e2e TIMEOUT 600)
endif()

if(TALLIMO_WINDOWS)
  # The floppy set from end to end, with a real floppy (2.88 MB: disk 1 must
  # hold the loading program and the installer whole) as A: in a prefix of
  # its own: the copy onto as many disks as it takes, a cancel, and an
  # install from the disks.
  add_executable(wendmere_floppy_e2e_test ${CMAKE_CURRENT_LIST_DIR}/wendmere_floppy_e2e_test.cpp)
  _tallimo_common(wendmere_floppy_e2e_test)
  target_compile_options(wendmere_floppy_e2e_test PRIVATE -O1)
  target_link_libraries(wendmere_floppy_e2e_test PRIVATE fw_registry test_support_screenshot GTest::gtest_main)
  tallimo_with_stand_ins(wendmere_floppy_e2e_test)
  add_dependencies(wendmere_floppy_e2e_test Wendmere Tallimo)
  # Disk 1 takes the loading program and the installer whole: copies without
  # the debugging information, as a distribution ships them.
  set(_shipped ${CMAKE_CURRENT_BINARY_DIR}/shipped)
  add_custom_command(OUTPUT ${_shipped}/Wendmere.exe ${_shipped}/stand_in_loader.exe
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_shipped}
    COMMAND ${CMAKE_STRIP} -o ${_shipped}/Wendmere.exe $<TARGET_FILE:Wendmere>
    COMMAND ${CMAKE_STRIP} -o ${_shipped}/stand_in_loader.exe $<TARGET_FILE:stand_in_loader>
    DEPENDS Wendmere stand_in_loader $<TARGET_FILE:Wendmere> $<TARGET_FILE:stand_in_loader>
    VERBATIM)
  add_custom_target(wendmere_shipped DEPENDS ${_shipped}/Wendmere.exe ${_shipped}/stand_in_loader.exe)
  add_dependencies(wendmere_floppy_e2e_test wendmere_shipped)
  add_test(NAME wendmere_floppy_e2e.CopyToDisksAndInstall
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/wendmere_floppy_run.sh ${CMAKE_BINARY_DIR}
                   $<TARGET_FILE:wendmere_floppy_e2e_test>)
  set_tests_properties(wendmere_floppy_e2e.CopyToDisksAndInstall PROPERTIES LABELS e2e TIMEOUT 600)
endif()
