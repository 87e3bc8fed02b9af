# The capture file on Windows, shared for reading while capture is on.
tallimo_win_library(comm_capture_writer SOURCES ${CMAKE_CURRENT_LIST_DIR}/capture_writer_win.cpp)
