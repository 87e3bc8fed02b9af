tallimo_benchmark(report_expressions_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/expressions_bench.cpp
  DEPS report_expressions)
