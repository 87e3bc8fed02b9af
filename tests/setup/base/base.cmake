tallimo_test(setup_base_test TIER core SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/exceptions_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/formats_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/registry_routines_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_routines_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/windows_kind_test.cpp
  DEPS setup_base)
tallimo_test(setup_base_win_test TIER wine SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/registry_win_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/windows_routines_win_test.cpp
  DEPS setup_base_win)
