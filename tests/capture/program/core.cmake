tallimo_test(received_char_filter_test TIER core
             SOURCES ${CMAKE_CURRENT_LIST_DIR}/received_char_filter_test.cpp
             DEPS capture_core comm_screen_buffer)
tallimo_test(capture_files_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/files_test.cpp
             DEPS capture_core)
tallimo_test(capture_session_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/session_test.cpp
             DEPS capture_core)
tallimo_test(connection_flow_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/connection_flow_test.cpp
             DEPS capture_core comm_tapi_device_list)
# Every end of a connection over the real port and line device, on the
# in-memory driver and the fake telephony library.
tallimo_test(connection_end_test TIER core
             SOURCES ${CMAKE_CURRENT_LIST_DIR}/connection_end_test.cpp
                     ${CMAKE_CURRENT_LIST_DIR}/../../comm/telephony/fake_tapi.cpp
             DEPS capture_core comm_port comm_tapi_device test_support_fake_dispatcher)
