# The install run: command line, instance key, the run's steps, restart,
# clean-up and its exception handler (Windows).
tallimo_win_library(setup_run_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/install_run_win.cpp
  DEPS setup_build_win setup_install_files_win setup_wizard_win setup_translator_win setup_paths_win fw_command_line_win fw_ui)
if(TALLIMO_WINDOWS)
  # The picture of the setup pages (resource "INSTALLTHEME1"); programs that
  # show the pages add ${SETUP_THEME_RES} to their sources.
  set(SETUP_THEME_RES ${CMAKE_CURRENT_BINARY_DIR}/install_theme_res.o CACHE INTERNAL "")
  add_custom_command(
    OUTPUT ${SETUP_THEME_RES}
    COMMAND ${CMAKE_RC_COMPILER} -O coff -I ${CMAKE_CURRENT_LIST_DIR}/resources
            -i ${CMAKE_CURRENT_LIST_DIR}/resources/install_theme.rc -o ${SETUP_THEME_RES}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/resources/install_theme.rc ${CMAKE_CURRENT_LIST_DIR}/resources/install_theme.bmp
    VERBATIM)
  add_custom_target(setup_theme_resource DEPENDS ${SETUP_THEME_RES})
endif()
