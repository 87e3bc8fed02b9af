tallimo_test(setup_install_forms_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/install_forms_test.cpp
  DEPS setup_install_forms)
tallimo_test(setup_install_forms_win_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/install_forms_win_test.cpp
  DEPS setup_install_forms_win setup_paths test_support_screenshot)
