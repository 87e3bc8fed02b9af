# Core tests of the support library; they read the generated message table
# from the build folder.
tallimo_test(support_messages_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/support_messages_test.cpp
  DEPS capture_support)
tallimo_test(st_reg_ini_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/reg_ini_test.cpp DEPS capture_support)
foreach(_t support_messages_test st_reg_ini_test)
  if(TARGET ${_t})
    target_compile_definitions(${_t} PRIVATE CAPTURE_STR0_DIR="${CMAKE_BINARY_DIR}/capture/str0")
    add_dependencies(${_t} capture_support_strings)
  endif()
endforeach()
tallimo_test(number_text_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/number_text_test.cpp DEPS capture_support)
tallimo_test(settings_location_test TIER core
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/location_test.cpp DEPS capture_support)
# The settings store on real profile files under Wine.
tallimo_test(settings_win_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_win_test.cpp DEPS capture_support_win)
