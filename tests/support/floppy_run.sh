#!/bin/bash
# Runs a Windows test program with a real 1.44 MB floppy as drive A:, in a
# Wine prefix of its own (the drive settings take a wineserver restart, which
# must not hit the build's shared test prefix).
#   floppy_run.sh BUILD_DIR STATE_NAME PROGRAM.exe [ARGS...]
# A tmpfs of 1,474,560 bytes is mounted at BUILD_DIR/STATE_NAME/disk for the
# run (a mount left in the tree would stop the tree's removal), linked as
# dosdevices/a: and declared "floppy".
# Mounting needs root: without it the program runs with TALLIMO_FLOPPY_SKIP
# set to the reason, and its floppy tests skip.
set -uo pipefail
build=$(realpath "$1"); state="$build/$2"; shift 2
TALLIMO_ROOT=$(realpath "$(dirname "$0")/../..")
source "$TALLIMO_ROOT/tests/support/own_prefix.sh"
disk="$state/disk"
mkdir -p "$disk"
# A run that was killed, or one of an earlier version, may have left it mounted.
mountpoint -q "$disk" && umount "$disk"
mounted=
if error=$(mount -t tmpfs -o size=1440k tmpfs "$disk" 2>&1); then
  mounted=1
else
  export TALLIMO_FLOPPY_SKIP="a 1.44 MB floppy cannot be mounted here (mount: ${error:-failed}; it needs root)"
fi
# Console programs only: no display needed.
export TALLIMO_USE_DISPLAY=1 DISPLAY=
if [ -z "${TALLIMO_FLOPPY_SKIP:-}" ] &&
   { [ "$(readlink "$state/wine/prefix/dosdevices/a:" || true)" != "$disk" ] || [ ! -f "$state/wine/floppy.set" ]; }; then
  declare_floppy "$state" "$disk"
  touch "$state/wine/floppy.set"
fi
# The prefix's server must not outlive the test: it would keep the test
# runner's output pipe open and the whole test command would wait for it.
status=0
"$TALLIMO_ROOT/tools/wine-run" "$state" "$@" || status=$?
"$TALLIMO_ROOT/tools/wine-stop" "$state"
[ -n "$mounted" ] && umount "$disk"
exit $status
