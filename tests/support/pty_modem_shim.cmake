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
  # The loader splits LD_PRELOAD at blanks, and a build folder may have them
  # in its path: the library is preloaded by name and found on the library
  # path, which is split at colons only.
  set(PTY_MODEM_SHIM_ENVIRONMENT "LD_PRELOAD=pty_modem_shim.so;LD_LIBRARY_PATH=${CMAKE_CURRENT_BINARY_DIR}"
      CACHE INTERNAL "")
endif()
