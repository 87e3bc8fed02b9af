tallimo_win_library(test_support_pty_cable SOURCES ${CMAKE_CURRENT_LIST_DIR}/pty_cable_win.cpp)
tallimo_test(pty_cable_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/pty_cable_test.cpp DEPS test_support_pty_cable)
tallimo_win_library(test_support_screenshot SOURCES ${CMAKE_CURRENT_LIST_DIR}/screenshot_win.cpp
                    DEPS gdi32 test_support_pty_cable)
