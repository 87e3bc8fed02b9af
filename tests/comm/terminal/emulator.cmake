tallimo_test(emu_parser_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/emu_parser_test.cpp DEPS comm_emulator)
tallimo_test(emulator_components_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/emulator_components_test.cpp
  DEPS comm_emulator_components)
