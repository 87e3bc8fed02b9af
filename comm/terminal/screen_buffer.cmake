# Screen buffer with scroll-back and its capture file.
tallimo_core_library(comm_screen_buffer
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/screen_buffer.cpp ${CMAKE_CURRENT_LIST_DIR}/screen_buffer_commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/screen_buffer_view.cpp ${CMAKE_CURRENT_LIST_DIR}/capture_buffer.cpp
  DEPS comm_emulator fw_exceptions)
