# Line bytes into the capture file through parser and screen buffer, against
# the bare capture writer.
tallimo_benchmark(emulator_capture_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/emulator_capture_bench.cpp
                  DEPS comm_screen_buffer comm_test_file_writer)
