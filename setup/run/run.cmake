# The install run: command line, instance key, the run's steps, restart,
# clean-up and its exception handler (Windows).
tallimo_win_library(setup_run_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/install_run_win.cpp
  DEPS setup_build_win setup_install_files_win setup_net_win setup_wizard_win setup_translator_win setup_paths_win fw_command_line_win fw_ui)
