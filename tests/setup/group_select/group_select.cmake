tallimo_test(setup_group_select_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/model_test.cpp
  DEPS setup_group_select setup_paths)
