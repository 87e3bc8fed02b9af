# The system's printers and print jobs, and enhanced metafiles.
tallimo_win_library(fw_printers SOURCES ${CMAKE_CURRENT_LIST_DIR}/printers.cpp ${CMAKE_CURRENT_LIST_DIR}/metafile.cpp
  DEPS fw_ui winspool gdi32)
