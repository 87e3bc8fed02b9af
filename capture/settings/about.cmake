# The about box (a form of the framework) with the shell links.
tallimo_win_library(capture_about SOURCES ${CMAKE_CURRENT_LIST_DIR}/about.cpp
  DEPS capture_version_info capture_support_win fw_version_info_win fw_ui shell32)
