tallimo_test(setup_net_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/location_test.cpp DEPS setup_net)
tallimo_test(setup_net_win_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/location_win_test.cpp
  DEPS setup_net_win test_support_loopback_server)
