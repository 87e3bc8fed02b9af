# The build of a distribution (compress of the install tree, the setup
# program and its archive, the net file list, the self-extracting program)
# and the copy of a self-extracting setup onto floppies (core), and the
# machine they run on (Windows).
tallimo_core_library(setup_build SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/build.cpp
  ${CMAKE_CURRENT_LIST_DIR}/floppies.cpp
  DEPS setup_install_rules setup_install setup_paths setup_archive setup_net setup_base)
tallimo_win_library(setup_build_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/build_win.cpp
  DEPS setup_build setup_archive_win setup_base_win setup_net_win fw_ui)
