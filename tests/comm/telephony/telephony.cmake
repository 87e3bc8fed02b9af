# Telephony binding: natively against a fake library.
tallimo_test(tapi_binding_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/binding_test.cpp DEPS comm_tapi_binding)
# The binding against the stand-in library under Wine.
tallimo_tapi_standin_test(tapi_standin_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/standin_test.cpp
  DEPS comm_tapi_loader_win comm_base_win test_support_pty_cable)
# The call log: exact lines natively, the history file and timestamps under Wine.
tallimo_test(tapi_log_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/call_log_test.cpp DEPS comm_tapi_log)
tallimo_test(tapi_log_win_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/call_log_win_test.cpp DEPS comm_tapi_log_win)
# The line device natively, against an in-process fake of the library and host.
tallimo_test(tapi_device_test TIER core
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/device_test.cpp ${CMAKE_CURRENT_LIST_DIR}/fake_tapi.cpp
  DEPS comm_tapi_device)
# The line device under Wine with the stand-in library.
tallimo_tapi_standin_test(tapi_device_win_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/device_win_test.cpp
  DEPS comm_tapi_device_win comm_port_win comm_port_component comm_base_win test_support_pty_cable)
# The same device without telephony: Wine's own stub library, and none at all.
if(TALLIMO_WINDOWS)
  tallimo_test(tapi_wine_stub_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/without_library_test.cpp
    DEPS comm_tapi_device_win comm_tapi_device_list comm_base_win)
  set(_tapi_emulator ${CMAKE_CROSSCOMPILING_EMULATOR})
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env WINEDLLOVERRIDES=tapi32=d ${_tapi_emulator})
  tallimo_test(tapi_no_library_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/without_library_test.cpp
    DEPS comm_tapi_device_win comm_tapi_device_list comm_base_win)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${_tapi_emulator})
endif()
tallimo_test(tapi_device_list_test TIER core
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/device_list_test.cpp ${CMAKE_CURRENT_LIST_DIR}/fake_tapi.cpp
  DEPS comm_tapi_device_list)
# The device selection dialog on the screen, with the stand-in's lines.
tallimo_tapi_standin_test(tapi_select_form_test TIER gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/select_form_test.cpp
  DEPS comm_tapi_select_form_win test_support_pty_cable)
# Records and texts from the library, fuzzed (seeds replayed in the host build).
tallimo_fuzz_target(tapi_records_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/records_fuzz.cpp
  DEPS comm_tapi_device_list CORPUS ${CMAKE_CURRENT_LIST_DIR}/records_seeds)
