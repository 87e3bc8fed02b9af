# Report expressions: evaluator, built-in functions, library and environments.
tallimo_core_library(report_expressions
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/qr_expr_value.cpp
    ${CMAKE_CURRENT_LIST_DIR}/float_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/numeric_picture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/expr_platform.cpp
    ${CMAKE_CURRENT_LIST_DIR}/expr_platform_fixed.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qr_elements.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qr_evaluator.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qr_library.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qr_functions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qr_environment.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qr_expr_startup.cpp
  DEPS fw_exceptions)

# The platform of expressions over the Windows locale and clock.
tallimo_win_library(report_expressions_win
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/expr_platform_win.cpp
  DEPS report_expressions)
