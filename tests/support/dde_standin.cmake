# The stand-in DDE server for Program Manager tests and the way tests run it.
if(TALLIMO_WINDOWS)
  add_executable(dde_standin ${CMAKE_CURRENT_LIST_DIR}/dde_standin_win.cpp)
  _tallimo_common(dde_standin)
  target_link_libraries(dde_standin PRIVATE user32)
  tallimo_win_library(test_support_dde_standin SOURCES ${CMAKE_CURRENT_LIST_DIR}/dde_standin_client_win.cpp)
endif()

# A test that runs the stand-in: the server is copied beside the test program.
#   tallimo_dde_standin_test(name TIER wine|gui SOURCES ... [DEPS ...])
function(tallimo_dde_standin_test name)
  if(NOT TALLIMO_WINDOWS)
    return()
  endif()
  tallimo_test(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE test_support_dde_standin)
  add_dependencies(${name} dde_standin)
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:dde_standin> $<TARGET_FILE_DIR:${name}>
    VERBATIM)
endfunction()
