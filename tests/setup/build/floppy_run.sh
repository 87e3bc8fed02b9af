#!/bin/bash
# Runs a Windows test program with a real 1.44 MB floppy as drive A:, in a
# Wine prefix of its own (the drive settings take a wineserver restart, which
# must not hit the build's shared test prefix).
#   floppy_run.sh BUILD_DIR STATE_NAME PROGRAM.exe [ARGS...]
# A tmpfs of 1,474,560 bytes is mounted at BUILD_DIR/STATE_NAME/disk, linked
# as dosdevices/a: and declared "floppy" under HKLM\Software\Wine\Drives.
# Mounting needs root: without it the program runs with TALLIMO_FLOPPY_SKIP
# set to the reason, and its floppy tests skip.
set -uo pipefail
build=$(realpath "$1"); state="$build/$2"; shift 2
root=$(realpath "$(dirname "$0")/../../..")
disk="$state/disk"
mkdir -p "$disk"
if ! mountpoint -q "$disk"; then
  if ! error=$(mount -t tmpfs -o size=1440k tmpfs "$disk" 2>&1); then
    export TALLIMO_FLOPPY_SKIP="a 1.44 MB floppy cannot be mounted here (mount: ${error:-failed}; it needs root)"
  fi
fi
# Console programs only: no display needed.
export TALLIMO_USE_DISPLAY=1 DISPLAY=
"$root/tools/wine-run" "$state" cmd /c exit >/dev/null 2>&1
prefix="$state/wine/prefix"
if [ -z "${TALLIMO_FLOPPY_SKIP:-}" ] &&
   { [ "$(readlink "$prefix/dosdevices/a:" || true)" != "$disk" ] || [ ! -f "$state/wine/floppy.set" ]; }; then
  ln -sfn "$disk" "$prefix/dosdevices/a:"
  WINEPREFIX="$prefix" WINEDEBUG=-all wine reg add 'HKLM\Software\Wine\Drives' /v a: /t REG_SZ /d floppy /f >/dev/null 2>&1
  # The persistent server keeps the new drive settings in memory: stopping it
  # writes them out, and the next start reads them.
  WINEPREFIX="$prefix" wineserver -k || true
  touch "$state/wine/floppy.set"
fi
# The prefix's server must not outlive the test: it would keep the test
# runner's output pipe open and the whole test command would wait for it.
status=0
"$root/tools/wine-run" "$state" "$@" || status=$?
"$root/tools/wine-stop" "$state"
exit $status
