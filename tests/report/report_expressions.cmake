tallimo_test(report_expressions_test TIER core
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/expression_evaluator_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/expression_environment_test.cpp
  DEPS report_expressions)
