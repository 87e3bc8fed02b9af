/* Modem lines for pseudo-terminals, preloaded into a Wine process: a
 * pseudo-terminal has no CTS, DSR, DCD or ring, so TIOCMGET fails on it and
 * a test could never change them. Where TIOCMGET fails on a terminal that
 * the prefix maps as COMn, this answers with the bits written (as decimal
 * TIOCM_* flags) in $WINEPREFIX/modem-lines/comN, when that file exists;
 * the interrupt counters (TIOCGICOUNT), which Wine needs to wait for line
 * events, read as zero there. Every other call goes to the real ioctl. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <limits.h>
#include <linux/serial.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <unistd.h>

typedef int (*ioctl_fn)(int, unsigned long, ...);

static int com_number_of(int fd, const char *prefix) {
  char link[64], target[PATH_MAX], path[PATH_MAX], mapped[PATH_MAX];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  if (!realpath(link, target)) return 0;
  for (int number = 1; number <= 64; ++number) {
    snprintf(path, sizeof path, "%s/dosdevices/com%d", prefix, number);
    if (realpath(path, mapped) && strcmp(mapped, target) == 0) return number;
  }
  return 0;
}

static int lines_of(int number, const char *prefix, int *bits) {
  char path[PATH_MAX];
  snprintf(path, sizeof path, "%s/modem-lines/com%d", prefix, number);
  FILE *file = fopen(path, "r");
  if (!file) return 0;
  const int read = fscanf(file, "%d", bits);
  fclose(file);
  return read == 1;
}

int ioctl(int fd, unsigned long request, ...) {
  static ioctl_fn real;
  if (!real) real = (ioctl_fn)dlsym(RTLD_NEXT, "ioctl");
  va_list args;
  va_start(args, request);
  void *argument = va_arg(args, void *);
  va_end(args);
  const int result = real(fd, request, argument);
  if (result == 0 || (request != TIOCMGET && request != TIOCGICOUNT) || !argument) return result;
  const int failure = errno;
  const char *prefix = getenv("WINEPREFIX");
  const int number = prefix && isatty(fd) ? com_number_of(fd, prefix) : 0;
  int bits = 0;
  if (number == 0 || !lines_of(number, prefix, &bits)) {
    errno = failure;
    return result;
  }
  if (request == TIOCMGET) {
    *(int *)argument = bits;
  } else {
    memset(argument, 0, sizeof(struct serial_icounter_struct));
  }
  return 0;
}
