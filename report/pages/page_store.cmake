# The report page store: its stream, the page coder and the page list (core),
# and the Win32 files, clock and metafile bytes it is handed.
tallimo_core_library(report_page_store
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/metafile_image.cpp
          ${CMAKE_CURRENT_LIST_DIR}/compress.cpp
          ${CMAKE_CURRENT_LIST_DIR}/stream.cpp
          ${CMAKE_CURRENT_LIST_DIR}/page_list.cpp
  DEPS fw_streams)
tallimo_win_library(report_page_store_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/files_win.cpp DEPS report_page_store fw_streams_win gdi32)
