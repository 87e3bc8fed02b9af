# The component selection page: sizes, the drive table and the overlay rows
# (core); the page, its tree and drive list (Windows).
tallimo_core_library(setup_group_select SOURCES ${CMAKE_CURRENT_LIST_DIR}/model.cpp
  DEPS setup_install fw_format)
tallimo_win_library(setup_group_select_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/page_win.cpp
  DEPS setup_group_select setup_wizard_win fw_treeview fw_listview fw_locale)
