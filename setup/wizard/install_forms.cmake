# The folder browser and the copy-progress, disk-change and status forms:
# their placement and folder rules (core) and their windows.
tallimo_core_library(setup_install_forms SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/folder_browser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/install_forms.cpp)
tallimo_win_library(setup_folder_browser_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/folder_browser_win.cpp
  DEPS setup_install_forms setup_base_win fw_ui fw_inputbox ole32)
tallimo_win_library(setup_install_forms_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/install_forms_win.cpp
  DEPS setup_install_forms setup_wizard_win setup_folder_browser_win fw_comctrls)
