# A Linux library preloaded into Wine by tests that change modem lines on a
# pseudo-terminal (built with the machine's own C compiler).
if(TALLIMO_WINDOWS)
  set(TALLIMO_MODEM_LINES_PRELOAD ${CMAKE_BINARY_DIR}/tests/support/libmodem_lines_preload.so
      CACHE INTERNAL "")
  add_custom_command(OUTPUT ${TALLIMO_MODEM_LINES_PRELOAD}
    COMMAND cc -shared -fPIC -O2 -Wall -Wextra -o ${TALLIMO_MODEM_LINES_PRELOAD}
            ${CMAKE_CURRENT_LIST_DIR}/modem_lines_preload.c -ldl
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/modem_lines_preload.c)
  add_custom_target(modem_lines_preload ALL DEPENDS ${TALLIMO_MODEM_LINES_PRELOAD})
endif()
