# The setup program's base: exceptions, text routines, registry routines over
# an interface, the distribution formats and the version decisions (core), and
# their Windows side (registry, system folders and queries, version.dll).
tallimo_core_library(setup_base SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/exceptions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/extraction_info.cpp
  ${CMAKE_CURRENT_LIST_DIR}/net_file_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/overwrite_decision.cpp
  ${CMAKE_CURRENT_LIST_DIR}/registry_routines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_routines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/version_resource.cpp
  ${CMAKE_CURRENT_LIST_DIR}/windows_kind.cpp
  DEPS fw_exceptions fw_format fw_component)
tallimo_win_library(setup_base_win SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/registry_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/version_resource_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/windows_routines_win.cpp
  DEPS setup_base fw_registry fw_version_info_win)
