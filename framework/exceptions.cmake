# Exception classes shared by every layer (core included).
tallimo_core_library(fw_exceptions SOURCES ${CMAKE_CURRENT_LIST_DIR}/exceptions.cpp)
