# The keyboard map on plain files (natively and under Wine) and on the
# system's profile functions (under Wine), over one committed map file.
configure_file(${CMAKE_CURRENT_LIST_DIR}/keymap/AWKEYBRD.INI ${CMAKE_CURRENT_BINARY_DIR}/AWKEYBRD.INI COPYONLY)
tallimo_test(key_map_test TIER core
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/key_map_test.cpp ${CMAKE_CURRENT_LIST_DIR}/key_map_test_text.cpp
  DEPS comm_key_map)
tallimo_test(key_map_win_test TIER wine
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/key_map_test.cpp ${CMAKE_CURRENT_LIST_DIR}/key_map_test_win.cpp
  DEPS comm_profile_win)
