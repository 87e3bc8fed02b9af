# The keyboard map and the INI record database under it; the profile seam's
# plain-file reader for builds and tests without the system's functions.
tallimo_core_library(comm_key_map
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/key_map.cpp ${CMAKE_CURRENT_LIST_DIR}/ini_database.cpp
          ${CMAKE_CURRENT_LIST_DIR}/profile_text.cpp
  DEPS fw_exceptions)
# The system's private-profile functions.
tallimo_win_library(comm_profile_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/profile_access_win.cpp DEPS comm_key_map)
