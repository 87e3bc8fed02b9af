# From Open to a shown results window, under Wine (run bench/process/log_viewer_open.sh).
if(TALLIMO_WINDOWS)
  add_executable(log_viewer_open_timing EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/log_viewer_open_timing.cpp)
  _tallimo_common(log_viewer_open_timing)
  target_link_libraries(log_viewer_open_timing PRIVATE capture_log_viewer)
endif()

# The same two steps in a plain Win32 program: the platform's floor.
if(TALLIMO_WINDOWS)
  add_executable(log_viewer_floor_timing EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/log_viewer_floor_timing.cpp)
  _tallimo_common(log_viewer_floor_timing)
  target_link_libraries(log_viewer_floor_timing PRIVATE capture_log_search)
endif()
