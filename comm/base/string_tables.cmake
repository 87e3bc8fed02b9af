# "STR0" string tables: generated from the text lists at build time. Both builds
# get the .str0 files (the host tests read them); the win64 build links them
# into every program that uses comm_base_win as RCDATA resources.
find_program(TALLIMO_PYTHON3 python3 REQUIRED)
set(COMM_STR0_DIR ${CMAKE_BINARY_DIR}/comm/str0)
set(COMM_STR0_LISTS
    CVL_ERROR_STRINGS_ENGLISH=${CMAKE_CURRENT_LIST_DIR}/cvl_error_strings_english.txt
    ADSRMGR_STRINGS=${CMAKE_CURRENT_LIST_DIR}/adsrmgr_strings.txt)
add_custom_command(
  OUTPUT ${COMM_STR0_DIR}/cvl_error_strings_english.str0 ${COMM_STR0_DIR}/adsrmgr_strings.str0
         ${COMM_STR0_DIR}/comm_strings.rc
  COMMAND ${TALLIMO_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/str0_gen.py ${COMM_STR0_DIR}
          --rc ${COMM_STR0_DIR}/comm_strings.rc ${COMM_STR0_LISTS}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/str0_gen.py ${CMAKE_CURRENT_LIST_DIR}/cvl_error_strings_english.txt
          ${CMAKE_CURRENT_LIST_DIR}/adsrmgr_strings.txt
  COMMENT "Generating the communications string tables"
  VERBATIM)
add_custom_target(comm_string_tables
  DEPENDS ${COMM_STR0_DIR}/cvl_error_strings_english.str0 ${COMM_STR0_DIR}/adsrmgr_strings.str0)

if(TALLIMO_WINDOWS)
  add_custom_command(
    OUTPUT ${COMM_STR0_DIR}/comm_strings_res.o
    COMMAND ${CMAKE_RC_COMPILER} -O coff -i ${COMM_STR0_DIR}/comm_strings.rc -o ${COMM_STR0_DIR}/comm_strings_res.o
    DEPENDS ${COMM_STR0_DIR}/comm_strings.rc ${COMM_STR0_DIR}/cvl_error_strings_english.str0
            ${COMM_STR0_DIR}/adsrmgr_strings.str0
    COMMENT "Compiling the communications string tables as resources"
    VERBATIM)
  add_custom_target(comm_string_resources DEPENDS ${COMM_STR0_DIR}/comm_strings_res.o)
endif()

tallimo_core_library(comm_str0
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/str0_table.cpp ${CMAKE_CURRENT_LIST_DIR}/string_resource.cpp
  DEPS fw_exceptions)
