# The serial port component over a platform seam.
tallimo_core_library(comm_port SOURCES ${CMAKE_CURRENT_LIST_DIR}/com_port.cpp DEPS comm_dispatcher)
# The port on Win32, with the port selection dialog it shows without a number.
tallimo_win_library(comm_port_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/com_port_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/select_form_win.cpp
  DEPS comm_port comm_dispatcher_win32 comm_base_win fw_ui)
# The port as a form component with the surface the controller drives.
tallimo_core_library(comm_port_component SOURCES ${CMAKE_CURRENT_LIST_DIR}/com_port_component.cpp
  DEPS comm_port comm_status_lights)
