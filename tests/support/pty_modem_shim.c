/* A stand-in for the modem-control calls a pseudo-terminal rejects, for the
 * Linux side of Wine in tests (LD_PRELOAD). The modem lines are read from the
 * file named by PTY_MODEM_LINES (a number, TIOCM_* bits); setting lines is
 * accepted and ignored; the interrupt counters read as zero. Every other
 * request, and every descriptor that answers for itself, is left alone. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <linux/serial.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>

typedef int (*ioctl_function)(int, unsigned long, ...);

static int modem_lines(void) {
  const char* path = getenv("PTY_MODEM_LINES");
  int lines = TIOCM_CTS | TIOCM_DSR | TIOCM_CD;
  FILE* file = path ? fopen(path, "r") : NULL;
  if (file) {
    if (fscanf(file, "%i", &lines) != 1) lines = 0;
    fclose(file);
  }
  return lines;
}

int ioctl(int fd, unsigned long request, ...) {
  static ioctl_function real;
  va_list arguments;
  va_start(arguments, request);
  void* argument = va_arg(arguments, void*);
  va_end(arguments);
  if (!real) real = (ioctl_function)dlsym(RTLD_NEXT, "ioctl");
  const int result = real(fd, request, argument);
  if (result == 0 || (errno != ENOTTY && errno != EINVAL)) return result;
  switch (request) {
    case TIOCMGET:
      *(int*)argument = modem_lines();
      return 0;
    case TIOCMBIS:
    case TIOCMBIC:
    case TIOCMSET:
      return 0;
    case TIOCGICOUNT:
      memset(argument, 0, sizeof(struct serial_icounter_struct));
      return 0;
    default:
      return result;
  }
}
