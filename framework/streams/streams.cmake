# Byte streams (memory and the abstract stream) and local date-times (core),
# and the stream over a Windows file.
tallimo_core_library(fw_streams SOURCES ${CMAKE_CURRENT_LIST_DIR}/byte_stream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/date_time.cpp DEPS fw_exceptions)
tallimo_win_library(fw_streams_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_stream_win.cpp DEPS fw_streams oleaut32)
