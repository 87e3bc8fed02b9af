tallimo_test(setup_group_select_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/model_test.cpp
  DEPS setup_group_select setup_paths)
tallimo_test(setup_group_select_win_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/page_win_test.cpp
  DEPS setup_group_select_win setup_paths test_support_screenshot)
