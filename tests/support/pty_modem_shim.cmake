# The modem-line stand-in is a Linux library for Wine's own process; the
# win64 build compiles it with the machine's C compiler.
if(TALLIMO_WINDOWS)
  set(PTY_MODEM_SHIM ${CMAKE_CURRENT_BINARY_DIR}/pty_modem_shim.so CACHE INTERNAL "")
  add_custom_command(OUTPUT ${PTY_MODEM_SHIM}
    COMMAND cc -shared -fPIC -O2 -Wall -Wextra -o ${PTY_MODEM_SHIM} ${CMAKE_CURRENT_LIST_DIR}/pty_modem_shim.c -ldl
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/pty_modem_shim.c
    COMMENT "Building the pseudo-terminal modem-line stand-in"
    VERBATIM)
  add_custom_target(pty_modem_shim ALL DEPENDS ${PTY_MODEM_SHIM})
endif()
