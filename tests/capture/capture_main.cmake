# The main window on real windows. The test program sits in a folder of its own:
# its folder is where the window keeps capture files and settings.
if(TALLIMO_WINDOWS)
  tallimo_test(capture_main_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/capture_main_test.cpp
               DEPS capture_main_win test_support_pty_cable)
  set_target_properties(capture_main_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/capture_main)
  # The about box reads the capture program's version resource.
  target_link_libraries(capture_main_test PRIVATE ${CMAKE_BINARY_DIR}/capture/tallimo_res.o)
  add_dependencies(capture_main_test tallimo_version_resource)
endif()
