# The stand-in telephony library (tapi32.dll) and the way tests use it.
if(TALLIMO_WINDOWS)
  add_library(tapi_standin SHARED ${CMAKE_CURRENT_LIST_DIR}/tapi_standin_win.cpp)
  set_target_properties(tapi_standin PROPERTIES OUTPUT_NAME tapi32 PREFIX "")
  _tallimo_common(tapi_standin)
  tallimo_win_library(test_support_tapi_script SOURCES ${CMAKE_CURRENT_LIST_DIR}/tapi_script_win.cpp)
endif()

# A test that loads the stand-in: the library is copied beside the test program
# and Wine is told to prefer it over its own (which only stubs the interface).
#   tallimo_tapi_standin_test(name TIER wine|gui SOURCES ... [DEPS ...])
function(tallimo_tapi_standin_test name)
  if(NOT TALLIMO_WINDOWS)
    return()
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env WINEDLLOVERRIDES=tapi32=n ${CMAKE_CROSSCOMPILING_EMULATOR})
  tallimo_test(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE test_support_tapi_script)
  add_dependencies(${name} tapi_standin)
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:tapi_standin> $<TARGET_FILE_DIR:${name}>
    VERBATIM)
endfunction()
