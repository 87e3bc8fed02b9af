# Components with owner, name, loading state and notifications (core).
tallimo_core_library(fw_component SOURCES ${CMAKE_CURRENT_LIST_DIR}/component.cpp DEPS fw_exceptions)
# Module initialisation and finalisation in a fixed order (core).
tallimo_core_library(fw_modules SOURCES ${CMAKE_CURRENT_LIST_DIR}/modules.cpp)
