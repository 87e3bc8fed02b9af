tallimo_test(received_char_filter_test TIER core
             SOURCES ${CMAKE_CURRENT_LIST_DIR}/received_char_filter_test.cpp
             DEPS capture_core comm_screen_buffer)
tallimo_test(capture_files_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/files_test.cpp
             DEPS capture_core)
tallimo_test(capture_session_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/session_test.cpp
             DEPS capture_core)
tallimo_test(connection_flow_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/connection_flow_test.cpp
             DEPS capture_core)
