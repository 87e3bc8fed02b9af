# The dispatcher over an in-memory driver, and a transport that calls
# listener handlers directly.
tallimo_core_library(test_support_fake_dispatcher SOURCES ${CMAKE_CURRENT_LIST_DIR}/fake_dispatcher.cpp
  DEPS comm_dispatcher)
