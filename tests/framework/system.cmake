tallimo_test(fw_system_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/system_test.cpp DEPS fw_thread fw_textfile fw_locale)
