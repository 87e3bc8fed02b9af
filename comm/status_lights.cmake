# Components that bind to each other by kind hear of each other's creation.
tallimo_core_library(comm_component_insertion SOURCES ${CMAKE_CURRENT_LIST_DIR}/component_insertion.cpp
  DEPS fw_component)
# Status lights: the controller that drives lamps from a port's triggers.
tallimo_core_library(comm_status_lights SOURCES ${CMAKE_CURRENT_LIST_DIR}/apd_sl_controller.cpp
  DEPS comm_errors fw_component comm_component_insertion)
# The port as a form component with the surface the controller drives.
tallimo_core_library(comm_port_component SOURCES ${CMAKE_CURRENT_LIST_DIR}/com_port_component.cpp
  DEPS comm_port comm_status_lights)
# The lamp: a graphic control of the framework.
tallimo_win_library(comm_status_light_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/apd_status_light_win.cpp
  DEPS comm_status_lights fw_ui)
