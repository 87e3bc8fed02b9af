tallimo_test(setup_base_test TIER core SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/exceptions_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/formats_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/registry_routines_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_routines_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/version_rules_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/windows_kind_test.cpp
  DEPS setup_base)
tallimo_test(setup_base_win_test TIER wine SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/registry_win_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/windows_routines_win_test.cpp
  DEPS setup_base_win)

if(TALLIMO_WINDOWS)
  # Fixture programs beside the tests: the default text block, German texts
  # only, and no version resource at all.
  set(_setup_fixtures ${CMAKE_CURRENT_LIST_DIR}/fixtures)
  foreach(_name setup_version_full setup_version_german)
    add_custom_command(
      OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${_name}_res.o
      COMMAND ${CMAKE_RC_COMPILER} -O coff -i ${_setup_fixtures}/${_name}.rc -o ${CMAKE_CURRENT_BINARY_DIR}/${_name}_res.o
      DEPENDS ${_setup_fixtures}/${_name}.rc
      VERBATIM)
    add_executable(${_name} ${_setup_fixtures}/fixture_main.c ${CMAKE_CURRENT_BINARY_DIR}/${_name}_res.o)
  endforeach()
  add_executable(setup_version_none ${_setup_fixtures}/fixture_main.c)

  tallimo_test(setup_version_win_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/version_resource_win_test.cpp
    DEPS setup_base_win)
  add_dependencies(setup_version_win_test setup_version_full setup_version_german setup_version_none)
endif()

if(TALLIMO_WINDOWS)
  # A program that answers with its Windows family, run by the test under the
  # versions Wine can report for one program.
  add_executable(setup_windows_kind_probe ${CMAKE_CURRENT_LIST_DIR}/fixtures/windows_kind_probe.cpp)
  target_link_libraries(setup_windows_kind_probe PRIVATE setup_base_win)
  add_dependencies(setup_base_win_test setup_windows_kind_probe)
endif()
