# The version reader on version.dll, on small fixture programs under Wine.
if(TALLIMO_WINDOWS)
  # Fixture programs beside the test: with a version resource, with texts
  # but no translation, and with no resource at all.
  set(_fixtures ${CMAKE_CURRENT_LIST_DIR}/fixtures)
  foreach(_name version_fixture version_fixture_no_translation)
    add_custom_command(
      OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${_name}_res.o
      COMMAND ${CMAKE_RC_COMPILER} -O coff -i ${_fixtures}/${_name}.rc -o ${CMAKE_CURRENT_BINARY_DIR}/${_name}_res.o
      DEPENDS ${_fixtures}/${_name}.rc
      VERBATIM)
    add_executable(${_name} ${_fixtures}/fixture_main.c ${CMAKE_CURRENT_BINARY_DIR}/${_name}_res.o)
  endforeach()
  add_executable(version_fixture_none ${_fixtures}/fixture_main.c)

  tallimo_test(version_info_win_test TIER wine
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/version_info_win_test.cpp
    DEPS capture_version_info capture_support_win fw_version_info_win)
  add_dependencies(version_info_win_test version_fixture version_fixture_no_translation version_fixture_none
                   tallimo_version_resource Tallimo)
  # The test program carries the capture program's version resource too.
  target_link_libraries(version_info_win_test PRIVATE ${CMAKE_BINARY_DIR}/capture/tallimo_res.o)
  file(RELATIVE_PATH _tallimo_exe ${CMAKE_CURRENT_BINARY_DIR} ${CMAKE_BINARY_DIR}/capture/Tallimo.exe)
  target_compile_definitions(version_info_win_test PRIVATE TALLIMO_EXE="${_tallimo_exe}")
endif()
