# The number rules take texts from the settings file and version resources.
tallimo_fuzz_target(number_text_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/number_text_fuzz.cpp DEPS capture_support
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/number_text_seeds)
