# The version reader's core rules with a stand-in source.
tallimo_test(st_version_info_test TIER core
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/version_info_test.cpp DEPS capture_version_info)
if(TARGET st_version_info_test)
  target_compile_definitions(st_version_info_test PRIVATE CAPTURE_STR0_DIR="${CMAKE_BINARY_DIR}/capture/str0")
  add_dependencies(st_version_info_test capture_support_strings)
endif()
