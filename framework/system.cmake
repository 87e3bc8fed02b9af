# Threads and text files over Win32.
tallimo_win_library(fw_thread SOURCES ${CMAKE_CURRENT_LIST_DIR}/thread.cpp DEPS fw_exceptions)
tallimo_win_library(fw_textfile SOURCES ${CMAKE_CURRENT_LIST_DIR}/textfile.cpp DEPS fw_exceptions)
tallimo_win_library(fw_locale SOURCES ${CMAKE_CURRENT_LIST_DIR}/locale.cpp DEPS fw_exceptions)
