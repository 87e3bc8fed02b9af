# The support library's message table, a "STR0" table built by the same
# generator as the communications tables. Both builds get the .str0 file (the
# host tests read it); the win64 build links it as an RCDATA resource into
# every program that uses capture_support_win.
set(CAPTURE_STR0_DIR ${CMAKE_BINARY_DIR}/capture/str0)
set(_support_list ${CMAKE_CURRENT_LIST_DIR}/support_strings_english.txt)
add_custom_command(
  OUTPUT ${CAPTURE_STR0_DIR}/stsupport_strings_english.str0 ${CAPTURE_STR0_DIR}/support_strings.rc
  COMMAND ${TALLIMO_PYTHON3} ${TALLIMO_ROOT}/comm/base/str0_gen.py ${CAPTURE_STR0_DIR}
          --rc ${CAPTURE_STR0_DIR}/support_strings.rc STSUPPORT_STRINGS_ENGLISH=${_support_list}
  DEPENDS ${TALLIMO_ROOT}/comm/base/str0_gen.py ${_support_list}
  COMMENT "Generating the support message table"
  VERBATIM)
add_custom_target(capture_support_strings DEPENDS ${CAPTURE_STR0_DIR}/stsupport_strings_english.str0)

if(TALLIMO_WINDOWS)
  add_custom_command(
    OUTPUT ${CAPTURE_STR0_DIR}/support_strings_res.o
    COMMAND ${CMAKE_RC_COMPILER} -O coff -i ${CAPTURE_STR0_DIR}/support_strings.rc
            -o ${CAPTURE_STR0_DIR}/support_strings_res.o
    DEPENDS ${CAPTURE_STR0_DIR}/support_strings.rc ${CAPTURE_STR0_DIR}/stsupport_strings_english.str0
    COMMENT "Compiling the support message table as a resource"
    VERBATIM)
  add_custom_target(capture_support_resources DEPENDS ${CAPTURE_STR0_DIR}/support_strings_res.o)
endif()
