tallimo_test(tallimo_e2e_test TIER e2e SOURCES ${CMAKE_CURRENT_LIST_DIR}/tallimo_e2e_test.cpp
             DEPS test_support_pty_cable TIMEOUT 240)
if(TALLIMO_WINDOWS)
  add_dependencies(tallimo_e2e_test Tallimo)
endif()
