# The install object tree with its ordering, processing and install events,
# and the base of the path specifiers it refers to (core).
tallimo_core_library(setup_install SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/install_tree.cpp
  ${CMAKE_CURRENT_LIST_DIR}/path_specifier.cpp
  DEPS setup_base fw_component fw_exceptions)
# The installer's dialog form base (Windows).
tallimo_win_library(setup_install_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/base_form_win.cpp
  DEPS setup_install setup_paths setup_translator_win fw_ui)
