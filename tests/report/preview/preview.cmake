tallimo_test(report_preview_rules_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/preview_rules_test.cpp
  DEPS report_preview_rules)
