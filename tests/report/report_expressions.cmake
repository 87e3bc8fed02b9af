tallimo_test(report_expressions_test TIER core
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/expression_evaluator_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/expression_environment_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/number_text_test.cpp
  DEPS report_expressions)
tallimo_test(report_expr_platform_win_test TIER wine
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/expr_platform_win_test.cpp
  DEPS report_expressions_win)
