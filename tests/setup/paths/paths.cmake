tallimo_test(setup_paths_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/path_specifiers_test.cpp
  DEPS setup_paths)
tallimo_test(setup_paths_win_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/machine_folders_win_test.cpp
  DEPS setup_paths_win)
