# The install object tree with its ordering, processing and install events,
# and the base of the path specifiers it refers to (core).
tallimo_core_library(setup_install SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/install_tree.cpp
  ${CMAKE_CURRENT_LIST_DIR}/path_specifier.cpp
  DEPS setup_base fw_component fw_exceptions)
# The rules of installing a file and of the run: overwrite decision, property
# rules, command line, restart command, batch texts, registry entries, and
# the archive's files with a destination in use turned aside (core).
tallimo_core_library(setup_install_rules SOURCES ${CMAKE_CURRENT_LIST_DIR}/install_rules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_replace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/install_file.cpp
  DEPS setup_install setup_archive setup_base setup_net)
# The installer's dialog form base (Windows).
tallimo_win_library(setup_install_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/base_form_win.cpp
  DEPS setup_install setup_paths setup_translator_win fw_ui)
# A destination in use replaced at the next start, self-registration, the
# help and shared-library entries, and archives downloaded (Windows).
# The tree's hourglass and abort flag on this machine go with them.
tallimo_win_library(setup_install_files_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_replace_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tree_hooks_win.cpp
  DEPS setup_install_rules setup_archive_win setup_base_win setup_net_win fw_library_win fw_ui ole32)
