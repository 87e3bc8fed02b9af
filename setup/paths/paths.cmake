# The machine's well-known folders, the standard path specifiers and the
# expansion of %-codes (core); the Windows side connects the real machine.
tallimo_core_library(setup_paths SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/machine_folders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/path_specifiers.cpp
  DEPS setup_install setup_translator setup_base)
tallimo_win_library(setup_paths_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/machine_folders_win.cpp
  DEPS setup_paths setup_base_win)
