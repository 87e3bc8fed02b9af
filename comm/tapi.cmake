# Telephony: run-time binding of the library and checked record reads.
tallimo_core_library(comm_tapi_binding
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tapi_binding.cpp ${CMAKE_CURRENT_LIST_DIR}/tapi_records.cpp
  DEPS comm_errors)
tallimo_win_library(comm_tapi_loader_win SOURCES ${CMAKE_CURRENT_LIST_DIR}/tapi_loader_win.cpp DEPS comm_tapi_binding)
