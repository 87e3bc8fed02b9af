tallimo_test(setup_decoration_core_test TIER core SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/decoration_core_test.cpp DEPS setup_decoration)
tallimo_test(setup_decoration_win_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/decoration_win_test.cpp
  DEPS setup_decoration_win setup_paths test_support_screenshot)
