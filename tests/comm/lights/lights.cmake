# The status light controller against a fake port surface.
tallimo_test(sl_controller_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/controller_test.cpp
  DEPS comm_status_lights)
# Lamp painting on real GDI surfaces.
tallimo_test(status_light_win_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/light_win_test.cpp
  DEPS comm_status_light_win)
# Status lights on a COM port of the prefix through the test cable.
tallimo_test(status_lights_cable_win_test TIER wine TIMEOUT 300
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/cable_win_test.cpp
  DEPS comm_port_component comm_status_light_win comm_port_win test_support_pty_cable)
# Modem lines through the test cable with the modem-line stand-in preloaded:
# declared case by case, since every case needs the stand-in and its line
# file in its environment; the cases share that file, so they take turns.
if(TALLIMO_WINDOWS AND NOT TALLIMO_FUZZ)
  add_executable(status_lights_modem_win_test ${CMAKE_CURRENT_LIST_DIR}/modem_win_test.cpp)
  _tallimo_common(status_lights_modem_win_test)
  target_link_libraries(status_lights_modem_win_test PRIVATE comm_port_component comm_status_light_win
                        comm_port_win test_support_pty_cable GTest::gtest_main)
  add_dependencies(status_lights_modem_win_test pty_modem_shim)
  foreach(_case ACtsChangeLightsTheCtsLampAndPutsItOutAgain LinesAlreadyUpShowWhenMonitoringStarts)
    set(_name status_lights_modem_win_test.ModemLinesOnCable.${_case})
    add_test(NAME ${_name} COMMAND status_lights_modem_win_test --gtest_filter=ModemLinesOnCable.${_case}
             WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(${_name} PROPERTIES LABELS wine TIMEOUT 300 RESOURCE_LOCK status_lights_modem_lines
      ENVIRONMENT "${PTY_MODEM_SHIM_ENVIRONMENT};PTY_MODEM_LINES=${CMAKE_CURRENT_BINARY_DIR}/status_lights_modem_lines.txt")
  endforeach()
endif()
