# The installer archive on in-memory disks (natively and under Wine).
tallimo_test(setup_archive_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/archive_test.cpp DEPS setup_archive)
# Arbitrary bytes as an archive of up to three disks at an offset.
tallimo_fuzz_target(setup_archive_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/archive_fuzz.cpp DEPS setup_archive
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/archive_fuzz_seeds)
# The same cases over real files and the real floppy drive A: under Wine, run
# as one program in a prefix of its own (tests/support/floppy_run.sh).
if(TALLIMO_WINDOWS)
  add_executable(setup_archive_win_test ${CMAKE_CURRENT_LIST_DIR}/archive_win_test.cpp)
  _tallimo_common(setup_archive_win_test)
  target_link_libraries(setup_archive_win_test PRIVATE setup_archive_win GTest::gtest_main GTest::gmock)
  add_test(NAME setup_archive_win_test.RealFilesAndFloppy
           COMMAND ${TALLIMO_ROOT}/tests/support/floppy_run.sh ${CMAKE_BINARY_DIR} floppy $<TARGET_FILE:setup_archive_win_test>)
  set_tests_properties(setup_archive_win_test.RealFilesAndFloppy PROPERTIES LABELS wine TIMEOUT 600)
  # Programs with and without a version resource, from the setup base's tests.
  add_dependencies(setup_archive_win_test setup_version_full setup_version_none)
endif()
