# Core tests of the string tables, coded exceptions and helpers; they read the
# generated tables from the build folder.
set(_comm_str0_defs COMM_STR0_DIR="${CMAKE_BINARY_DIR}/comm/str0" COMM_SOURCE_DIR="${TALLIMO_ROOT}/comm/base")
foreach(_t str0_reader_test generated_tables_test check_code_test)
  tallimo_test(${_t} TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/${_t}.cpp DEPS comm_errors)
  if(TARGET ${_t})
    target_compile_definitions(${_t} PRIVATE ${_comm_str0_defs})
    add_dependencies(${_t} comm_string_tables)
  endif()
endforeach()
tallimo_test(comm_misc_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/misc_test.cpp DEPS comm_misc)
# Windows side: the tables as linked resources, FormatMessage, the pump.
tallimo_test(comm_base_win_test TIER wine SOURCES ${CMAKE_CURRENT_LIST_DIR}/base_win_test.cpp DEPS comm_base_win)
tallimo_fuzz_target(str0_table_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/str0_table_fuzz.cpp DEPS comm_str0
                    CORPUS ${CMAKE_CURRENT_LIST_DIR}/str0_fuzz_seeds)
tallimo_test(apd_base_component_test TIER core SOURCES ${CMAKE_CURRENT_LIST_DIR}/component_test.cpp
  DEPS comm_errors fw_component)
