#The checked message formatter(core).
tallimo_core_library(fw_format SOURCES ${CMAKE_CURRENT_LIST_DIR} / format.cpp DEPS fw_exceptions)
