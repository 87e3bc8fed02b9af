# Search over a log's text for the log viewer (core).
tallimo_core_library(capture_log_search SOURCES ${CMAKE_CURRENT_LIST_DIR}/search.cpp)
