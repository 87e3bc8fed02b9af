# The installer's translator: the language-text parser and the translation of
# texts and memos (core).
tallimo_core_library(setup_translator SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/language_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/translator.cpp
  DEPS setup_base fw_component fw_format fw_exceptions)
