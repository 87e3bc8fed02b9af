tallimo_test(setup_paths_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/path_specifiers_test.cpp
  DEPS setup_paths)
