tallimo_test(setup_install_test TIER core SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/install_tree_test.cpp
  DEPS setup_install setup_paths)
tallimo_test(setup_base_form_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/base_form_win_test.cpp
  DEPS setup_install_win)
tallimo_test(setup_install_rules_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/install_rules_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_replace_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/install_file_test.cpp
  DEPS setup_install_rules setup_paths)

if(TALLIMO_WINDOWS)
  # Self-registering fixtures: a library whose DllRegisterServer answers
  # S_OK, one answering E_FAIL, and a program that registers on /REGSERVER.
  set(_install_fixtures ${CMAKE_CURRENT_LIST_DIR}/fixtures)
  add_library(setup_selfreg_ok SHARED ${_install_fixtures}/selfreg_library.c)
  add_library(setup_selfreg_fail SHARED ${_install_fixtures}/selfreg_library.c)
  target_compile_definitions(setup_selfreg_fail PRIVATE REGISTER_RESULT=E_FAIL)
  set_target_properties(setup_selfreg_ok setup_selfreg_fail PROPERTIES PREFIX "")
  add_executable(setup_regserver_program ${_install_fixtures}/regserver_program.c)
  add_custom_command(
    OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/selfreg_marked_res.o
    COMMAND ${CMAKE_RC_COMPILER} -O coff -i ${_install_fixtures}/selfreg_marked.rc -o ${CMAKE_CURRENT_BINARY_DIR}/selfreg_marked_res.o
    DEPENDS ${_install_fixtures}/selfreg_marked.rc
    VERBATIM)
  add_library(setup_selfreg_marked SHARED ${_install_fixtures}/selfreg_library.c
    ${CMAKE_CURRENT_BINARY_DIR}/selfreg_marked_res.o)
  set_target_properties(setup_selfreg_marked PROPERTIES PREFIX "")

  tallimo_test(setup_install_files_win_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_replace_win_test.cpp
    DEPS setup_install_files_win setup_archive_win)
  add_dependencies(setup_install_files_win_test setup_selfreg_ok setup_selfreg_fail setup_selfreg_marked setup_version_full
    setup_regserver_program)
endif()

if(TALLIMO_WINDOWS)
  # A file in use replaced across a restart, in a prefix of its own.
  add_executable(setup_restart_driver ${CMAKE_CURRENT_LIST_DIR}/fixtures/restart_driver.cpp)
  _tallimo_common(setup_restart_driver)
  target_link_libraries(setup_restart_driver PRIVATE setup_install_files_win setup_archive_win fw_command_line)
  add_test(NAME setup_install_restart.InUseFileReplacedAtRestart
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/restart_run.sh ${CMAKE_BINARY_DIR} $<TARGET_FILE:setup_restart_driver>)
  set_tests_properties(setup_install_restart.InUseFileReplacedAtRestart PROPERTIES LABELS wine TIMEOUT 600)
endif()
