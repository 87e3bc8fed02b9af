tallimo_test(setup_program_manager_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/program_manager_test.cpp
  DEPS setup_shell)
# Program Manager's reply is read from another program.
tallimo_fuzz_target(setup_group_data_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz/group_data_fuzz.cpp
  DEPS setup_shell CORPUS ${CMAKE_CURRENT_LIST_DIR}/fuzz/group_data_seeds)
tallimo_dde_standin_test(setup_program_manager_win_test TIER wine
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/program_manager_win_test.cpp DEPS setup_shell_win)
tallimo_dde_standin_test(setup_shell_links_win_test TIER wine
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/shell_links_win_test.cpp DEPS setup_shell_win ole32 uuid)
tallimo_test(setup_shell_links_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/shell_links_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/select_folder_test.cpp DEPS setup_shell)
tallimo_dde_standin_test(setup_select_folder_win_test TIER gui
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/select_folder_win_test.cpp DEPS setup_shell_win setup_paths
  test_support_screenshot)
