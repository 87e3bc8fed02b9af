tallimo_test(setup_install_test TIER core SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/install_tree_test.cpp
  DEPS setup_install setup_paths)
tallimo_test(setup_base_form_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/base_form_win_test.cpp
  DEPS setup_install_win)
tallimo_test(setup_install_rules_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/install_rules_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_replace_test.cpp
  DEPS setup_install_rules)
