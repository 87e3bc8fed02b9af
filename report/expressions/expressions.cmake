# Report expressions: evaluator, built-in functions, library and environments.
tallimo_core_library(report_expressions
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/value.cpp
    ${CMAKE_CURRENT_LIST_DIR}/float_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/numeric_picture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/platform.cpp
    ${CMAKE_CURRENT_LIST_DIR}/platform_fixed.cpp
    ${CMAKE_CURRENT_LIST_DIR}/elements.cpp
    ${CMAKE_CURRENT_LIST_DIR}/evaluator.cpp
    ${CMAKE_CURRENT_LIST_DIR}/library.cpp
    ${CMAKE_CURRENT_LIST_DIR}/functions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/environment.cpp
    ${CMAKE_CURRENT_LIST_DIR}/startup.cpp
  DEPS fw_exceptions)

# The platform of expressions over the Windows locale and clock.
tallimo_win_library(report_expressions_win
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/platform_win.cpp
  DEPS report_expressions)
