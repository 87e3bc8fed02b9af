# The version reader's Windows side over version.dll.
tallimo_win_library(capture_version_info_win
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/version_info_win.cpp DEPS capture_version_info capture_support_win version)
