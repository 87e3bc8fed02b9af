tallimo_test(setup_translator_test TIER core SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/language_text_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/translator_test.cpp
  DEPS setup_translator)
tallimo_fuzz_target(setup_language_text_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz/language_text_fuzz.cpp
  DEPS setup_translator setup_paths CORPUS ${CMAKE_CURRENT_LIST_DIR}/fuzz/language_text_seeds)
tallimo_test(setup_form_translation_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/form_translation_win_test.cpp
  DEPS setup_translator_win fw_richedit)
