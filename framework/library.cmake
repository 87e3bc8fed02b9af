# Libraries bound at run time through a loader (core), and the system's loader.
tallimo_core_library(fw_library SOURCES ${CMAKE_CURRENT_LIST_DIR}/library.cpp)
tallimo_win_library(fw_library_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/library_win.cpp DEPS fw_library)
