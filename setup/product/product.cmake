# The product's own pieces: the uninstaller entry and the renaming of earlier
# capture files (core), and that renaming on real files (Windows).
tallimo_core_library(setup_product SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/uninstall_exe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/capture_files.cpp
  DEPS setup_install_rules setup_base)
tallimo_win_library(setup_product_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/capture_files_win.cpp
  DEPS setup_product)
# The product's form: the whole installation of the capture program (Windows).
tallimo_win_library(setup_product_form_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/product_form_win.cpp
  DEPS setup_product_win setup_run_win setup_group_select_win setup_shell_win setup_decoration_win setup_net_win
       setup_wizard_win setup_install_forms_win)
