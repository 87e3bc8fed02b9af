# The about box on real windows, with a recorder in place of the browser and
# the mail program.
if(TALLIMO_WINDOWS)
  add_executable(shell_recorder WIN32 ${CMAKE_CURRENT_LIST_DIR}/fixtures/shell_recorder.c)
  tallimo_test(about_box_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/about_box_test.cpp
    DEPS capture_about test_support_screenshot)
  # It reads its own version resource: the capture program's.
  target_link_libraries(about_box_test PRIVATE ${CMAKE_BINARY_DIR}/capture/tallimo_res.o)
  add_dependencies(about_box_test shell_recorder tallimo_version_resource)
endif()
