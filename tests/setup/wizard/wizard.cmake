tallimo_test(setup_wizard_core_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizard_core_test.cpp
  DEPS setup_wizard)
tallimo_test(setup_wizard_win_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizard_win_test.cpp
  DEPS setup_wizard_win setup_paths test_support_screenshot)
