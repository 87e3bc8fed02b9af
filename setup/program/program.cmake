# The setup program Wendmere.exe with the product's form and the picture of
# its pages.
if(TALLIMO_WINDOWS)
  set_source_files_properties(${SETUP_THEME_RES} PROPERTIES GENERATED TRUE)
endif()
tallimo_program(Wendmere SOURCES ${CMAKE_CURRENT_LIST_DIR}/wendmere_main.cpp ${SETUP_THEME_RES}
  DEPS setup_product_form_win)
if(TALLIMO_WINDOWS)
  add_dependencies(Wendmere setup_theme_resource)
endif()
