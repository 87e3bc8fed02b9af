# Report preview: the rules of the preview and progress windows (core).
tallimo_core_library(report_preview_rules SOURCES ${CMAKE_CURRENT_LIST_DIR}/preview_rules.cpp DEPS report_producer)
