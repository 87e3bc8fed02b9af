# Escape-sequence parser: received characters become emulator commands.
tallimo_core_library(comm_emulator SOURCES ${CMAKE_CURRENT_LIST_DIR}/emu_parser.cpp)
