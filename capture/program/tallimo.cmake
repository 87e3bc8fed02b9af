# The capture program: its main block and version resource.
if(TALLIMO_WINDOWS)
  # Its version resource (file and product version, maker and product names).
  set(TALLIMO_VERSION_RES ${CMAKE_CURRENT_BINARY_DIR}/tallimo_res.o)
  add_custom_command(
    OUTPUT ${TALLIMO_VERSION_RES}
    COMMAND ${CMAKE_RC_COMPILER} -O coff -i ${CMAKE_CURRENT_LIST_DIR}/tallimo.rc -o ${TALLIMO_VERSION_RES}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/tallimo.rc
    VERBATIM)
  add_custom_target(tallimo_version_resource DEPENDS ${TALLIMO_VERSION_RES})
endif()
tallimo_program(Tallimo SOURCES ${CMAKE_CURRENT_LIST_DIR}/tallimo_main.cpp ${TALLIMO_VERSION_RES}
  DEPS capture_main_win comm_base_win report_expressions_win report_engine_win)
