# The version reader (core): version texts and numbers from a version resource.
tallimo_core_library(capture_version_info SOURCES ${CMAKE_CURRENT_LIST_DIR}/version_info.cpp DEPS capture_support)
