# The network install location: login values, server forms of the folder,
# error texts and the transfer rules (core), and the download over the
# system's Internet client library (Windows).
tallimo_core_library(setup_net SOURCES ${CMAKE_CURRENT_LIST_DIR}/location.cpp DEPS setup_base fw_exceptions fw_format)
tallimo_win_library(setup_net_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/location_win.cpp
  DEPS setup_net setup_install fw_library_win fw_ui)
