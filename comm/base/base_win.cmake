# Windows side of the string tables, error texts, tick clock and message pump.
# The table resources are an object file on the link line of every program
# that uses this library (a resource in a static library would never be pulled).
tallimo_win_library(comm_base_win
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/string_resource_win.cpp ${CMAKE_CURRENT_LIST_DIR}/system_misc_win.cpp
  DEPS comm_errors comm_misc fw_streams_win winmm)
if(TALLIMO_WINDOWS)
  add_dependencies(comm_base_win comm_string_resources)
  target_link_libraries(comm_base_win INTERFACE ${CMAKE_BINARY_DIR}/comm/str0/comm_strings_res.o)
endif()
