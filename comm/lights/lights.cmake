# Status lights: the controller that drives lamps from a port's triggers.
tallimo_core_library(comm_status_lights SOURCES ${CMAKE_CURRENT_LIST_DIR}/controller.cpp
  DEPS comm_errors fw_component comm_component_insertion)
# The lamp: a graphic control of the framework.
tallimo_win_library(comm_status_light_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/light_win.cpp
  DEPS comm_status_lights fw_ui)
