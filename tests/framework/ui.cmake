tallimo_test(fw_forms_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/forms_test.cpp DEPS fw_ui)
tallimo_test(fw_sample_form_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/sample_form_test.cpp DEPS fw_ui)
tallimo_test(fw_graphics_dialogs_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/graphics_dialogs_test.cpp DEPS fw_ui)
