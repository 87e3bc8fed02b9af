# The setup window's decorations: gradient bands, 3D label geometry and the
# advertise panel's page turning (core).
tallimo_core_library(setup_decoration SOURCES ${CMAKE_CURRENT_LIST_DIR}/decoration_core.cpp)
tallimo_win_library(setup_decoration_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/decoration_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/advertise_win.cpp DEPS setup_decoration setup_install setup_base fw_ui)
