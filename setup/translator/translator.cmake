# The installer's translator: the language-text parser and the translation of
# texts and memos (core).
tallimo_core_library(setup_translator SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/language_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/translator.cpp
  DEPS setup_base fw_component fw_format fw_exceptions)
# Forms: the walk over a form's texts and its fonts (Windows).
tallimo_win_library(setup_translator_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/form_translation_win.cpp
  DEPS setup_translator fw_ui fw_radiogroup fw_tabcontrol)
