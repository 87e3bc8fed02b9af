# The installer archive: its format and operations over a small file
# interface (core, with in-memory disks), and real files for Windows.
# The Windows programs carry zlib inside them: they ship without DLLs.
if(TALLIMO_WINDOWS)
  set(ZLIB_USE_STATIC_LIBS ON)
endif()
find_package(ZLIB REQUIRED)
tallimo_core_library(setup_archive
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/archive_files.cpp
          ${CMAKE_CURRENT_LIST_DIR}/file_header.cpp
          ${CMAKE_CURRENT_LIST_DIR}/memory_disks.cpp
          ${CMAKE_CURRENT_LIST_DIR}/pmbr_compress.cpp
  DEPS setup_base fw_component ZLIB::ZLIB)
tallimo_win_library(setup_archive_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/archive_files_win.cpp
  DEPS setup_archive setup_base_win fw_streams_win fw_ui)
