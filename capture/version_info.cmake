# The version reader (core) and its Windows side over version.dll.
tallimo_core_library(capture_version_info SOURCES ${CMAKE_CURRENT_LIST_DIR}/st_version_info.cpp DEPS capture_support)
tallimo_win_library(capture_version_info_win
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/version_info_win.cpp DEPS capture_version_info capture_support_win version)
