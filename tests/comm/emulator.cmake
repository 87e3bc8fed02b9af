tallimo_test(emu_parser_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/emu_parser_test.cpp DEPS comm_emulator)
