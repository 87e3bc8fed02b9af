# Whole-process timing under Wine (win64 build); run by bench/process/port_read.sh.
if(TALLIMO_WINDOWS)
  add_executable(port_read_bench EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/port_read_bench.cpp)
  target_compile_options(port_read_bench PRIVATE ${TALLIMO_WARNINGS})
  target_include_directories(port_read_bench PRIVATE ${TALLIMO_ROOT})
  target_link_libraries(port_read_bench PRIVATE comm_dispatcher_win32 test_support_pty_cable)
endif()
