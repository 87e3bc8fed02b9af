tallimo_test(report_expressions_test TIER core
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/evaluator_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/environment_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/number_text_test.cpp
  DEPS report_expressions)
tallimo_test(report_expr_platform_win_test TIER wine
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/platform_win_test.cpp
  DEPS report_expressions_win)
tallimo_fuzz_target(report_expression_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/expression_fuzz.cpp
  DEPS report_expressions
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/expression_fuzz_seeds)
