# Tick timers, path and flag helpers.
tallimo_core_library(comm_misc
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tick_timer.cpp ${CMAKE_CURRENT_LIST_DIR}/path_text.cpp)
