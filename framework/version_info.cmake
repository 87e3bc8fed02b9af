# Version resources of files through version.dll (Win32), behind the
# interface in version_info_source.h that both programs' readers use.
tallimo_win_library(fw_version_info_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/version_info_win.cpp DEPS fw_streams_win version)
