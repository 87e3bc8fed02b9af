# Escape-sequence parser: received characters become emulator commands.
tallimo_core_library(comm_emulator SOURCES ${CMAKE_CURRENT_LIST_DIR}/emu_parser.cpp)
# The emulator and keyboard emulator components.
tallimo_core_library(comm_emulator_components SOURCES ${CMAKE_CURRENT_LIST_DIR}/emulators.cpp
  DEPS comm_key_map comm_emulator comm_errors fw_component)
