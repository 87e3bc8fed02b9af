# The build of a distribution and the floppy transfer on in-memory disks.
tallimo_test(setup_build_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/build_test.cpp DEPS setup_build)
# The floppy transfer plan from an arbitrary trailer and file size.
tallimo_fuzz_target(setup_floppy_plan_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz/floppy_plan_fuzz.cpp
  DEPS setup_build CORPUS ${CMAKE_CURRENT_LIST_DIR}/fuzz/floppy_plan_seeds)
if(TALLIMO_WINDOWS)
  # A traditional build on real files, with the user's registry and the
  # application's message boxes; a small program of the tests stands in for
  # the loading program, a versioned one for the installer.
  tallimo_test(setup_build_win_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/build_win_test.cpp
    DEPS setup_build_win)
  add_dependencies(setup_build_win_test setup_version_full setup_version_none)
  # The transfer onto the real floppy drive A:, in a prefix of its own.
  add_executable(setup_floppy_win_test ${CMAKE_CURRENT_LIST_DIR}/floppy_win_test.cpp)
  _tallimo_common(setup_floppy_win_test)
  target_link_libraries(setup_floppy_win_test PRIVATE setup_build_win GTest::gtest_main GTest::gmock)
  add_dependencies(setup_floppy_win_test setup_version_full setup_version_none)
  add_test(NAME setup_floppy_win_test.TransferToFloppies
           COMMAND ${TALLIMO_ROOT}/tests/support/floppy_run.sh ${CMAKE_BINARY_DIR} floppy-build
                   $<TARGET_FILE:setup_floppy_win_test>)
  set_tests_properties(setup_floppy_win_test.TransferToFloppies PROPERTIES LABELS wine TIMEOUT 600)
endif()
