tallimo_test(screen_buffer_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/screen_buffer_test.cpp
             DEPS comm_screen_buffer)
