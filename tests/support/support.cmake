tallimo_win_library(test_support_pty_cable SOURCES ${CMAKE_CURRENT_LIST_DIR}/pty_cable_win.cpp)
tallimo_test(pty_cable_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/pty_cable_test.cpp DEPS test_support_pty_cable)
tallimo_win_library(test_support_screenshot SOURCES ${CMAKE_CURRENT_LIST_DIR}/screenshot_win.cpp
                    DEPS gdi32 test_support_pty_cable)
# HTTP and FTP servers on loopback, started from tests under Wine.
tallimo_win_library(test_support_loopback_server SOURCES ${CMAKE_CURRENT_LIST_DIR}/loopback_server_win.cpp
  DEPS test_support_pty_cable ws2_32)
if(TARGET test_support_loopback_server)
  target_compile_definitions(test_support_loopback_server PRIVATE TEST_SUPPORT_DIR="${CMAKE_CURRENT_LIST_DIR}")
endif()
