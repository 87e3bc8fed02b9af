tallimo_test(fw_forms_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/forms_test.cpp DEPS fw_ui)
