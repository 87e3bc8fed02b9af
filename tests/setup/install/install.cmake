tallimo_test(setup_install_test TIER core SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/install_tree_test.cpp
  DEPS setup_install setup_paths)
