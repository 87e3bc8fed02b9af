tallimo_test(setup_product_test TIER core SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/uninstall_exe_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/capture_files_test.cpp
  DEPS setup_product setup_paths)
tallimo_test(setup_product_win_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/product_win_test.cpp
  DEPS setup_product_win setup_install_files_win setup_paths)
tallimo_with_stand_ins(setup_product_win_test)
if(TALLIMO_WINDOWS)
  # The product's form once loaded, never shown; the program carries the
  # pages' picture.
  set_source_files_properties(${SETUP_THEME_RES} PROPERTIES GENERATED TRUE)
  tallimo_test(setup_product_form_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/product_form_win_test.cpp
    ${SETUP_THEME_RES} DEPS setup_product_form_win)
  add_dependencies(setup_product_form_test setup_theme_resource)
endif()
