# The setup program Wendmere.exe with the product's form and the picture of
# its pages.
# The setup module's start-up: the machine's parts and COM.
tallimo_win_library(setup_program_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/startup_win.cpp
  DEPS setup_run_win setup_shell_win setup_translator_win fw_modules ole32)
if(TALLIMO_WINDOWS)
  set_source_files_properties(${SETUP_THEME_RES} PROPERTIES GENERATED TRUE)
endif()
tallimo_program(Wendmere SOURCES ${CMAKE_CURRENT_LIST_DIR}/wendmere_main.cpp ${SETUP_THEME_RES}
  DEPS setup_product_form_win setup_program_win)
if(TALLIMO_WINDOWS)
  add_dependencies(Wendmere setup_theme_resource)
endif()
