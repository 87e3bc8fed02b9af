tallimo_test(fw_imagelist_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/imagelist_test.cpp DEPS fw_imagelist)
