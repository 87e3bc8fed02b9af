# The version reader (core); its Windows source is the framework's.
tallimo_core_library(capture_version_info SOURCES ${CMAKE_CURRENT_LIST_DIR}/st_version_info.cpp DEPS capture_support)
