# The wizard's window-free logic: placement, page order and navigation, and
# the dialog managers' event table.
tallimo_core_library(setup_wizard SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizard_core.cpp)
# Registries, dialog managers and dialog components; the wizard host and its
# page base; the pages.
tallimo_win_library(setup_wizard_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizard_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/host_win.cpp ${CMAKE_CURRENT_LIST_DIR}/pages_win.cpp
  DEPS setup_wizard setup_install_win setup_base_win setup_folder_browser_win fw_ui fw_richedit fw_radiogroup fw_tabcontrol)
