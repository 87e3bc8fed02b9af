tallimo_test(fw_library_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/library_test.cpp DEPS fw_library)
