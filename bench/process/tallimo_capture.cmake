# Whole-program timing of the capture program (a Windows harness run under
# Wine by bench/process/tallimo_capture.sh).
if(TALLIMO_WINDOWS)
  add_executable(tallimo_capture_bench EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/tallimo_capture_bench.cpp)
  _tallimo_common(tallimo_capture_bench)
  target_link_libraries(tallimo_capture_bench PRIVATE test_support_pty_cable)
  add_dependencies(tallimo_capture_bench Tallimo)
endif()
