tallimo_test(setup_decoration_core_test TIER core SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/decoration_core_test.cpp DEPS setup_decoration)
