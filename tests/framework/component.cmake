tallimo_test(fw_component_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/component_test.cpp DEPS fw_component fw_modules)
