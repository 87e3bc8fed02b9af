tallimo_test(setup_wizard_core_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizard_core_test.cpp
  DEPS setup_wizard)
