# Shortcut folders, shell links, internet shortcuts and Program Manager
# groups: their rules and command texts (core); the shell link object,
# profile files and DDE on the Windows side.
tallimo_core_library(setup_shell SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/program_manager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_links.cpp
  ${CMAKE_CURRENT_LIST_DIR}/select_folder.cpp
  DEPS setup_install setup_paths setup_base fw_component fw_format)
tallimo_win_library(setup_shell_win SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/program_manager_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_links_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/select_folder_win.cpp
  DEPS setup_shell setup_install_win setup_paths_win setup_base_win setup_wizard_win fw_dde fw_ui ole32 uuid)
