# The wizard's window-free logic: placement, page order and navigation, and
# the dialog managers' event table.
tallimo_core_library(setup_wizard SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizard_core.cpp)
tallimo_win_library(setup_wizard_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizard_win.cpp
  DEPS setup_wizard setup_install_win setup_base_win setup_folder_browser_win fw_ui fw_richedit fw_radiogroup fw_tabcontrol)
