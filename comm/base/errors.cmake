# Coded exceptions, the code check and error texts.
tallimo_core_library(comm_errors SOURCES ${CMAKE_CURRENT_LIST_DIR}/exceptions.cpp DEPS comm_str0)
