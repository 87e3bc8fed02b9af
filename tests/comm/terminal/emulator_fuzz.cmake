tallimo_fuzz_target(emulator_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/emulator_fuzz.cpp
                    DEPS comm_screen_buffer CORPUS ${CMAKE_CURRENT_LIST_DIR}/emulator_seeds)
