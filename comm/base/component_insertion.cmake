# Components that bind to each other by kind hear of each other's creation.
tallimo_core_library(comm_component_insertion SOURCES ${CMAKE_CURRENT_LIST_DIR}/component_insertion.cpp
  DEPS fw_component)
