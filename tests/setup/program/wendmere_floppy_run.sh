#!/bin/bash
# The setup program's floppy set from end to end, in a Wine prefix and display
# of their own, with a real floppy as drive A::
#   wendmere_floppy_run.sh BUILD_DIR wendmere_floppy_e2e_test.exe
# Disk 1 takes the loading program and the installer whole, which with our
# static runtime are more than a 1.44 MB disk holds: the drive is a 2.88 MB one.
# A tmpfs of 2,949,120 bytes is mounted at BUILD_DIR/wendmere-floppy-e2e/disk
# for the run, linked as dosdevices/a: and declared "floppy" under
# HKLM\Software\Wine\Drives. Mounting needs root: without it the test runs with
# TALLIMO_FLOPPY_SKIP set to the reason, and skips.
set -uo pipefail
build=$(realpath "$1"); driver=$(realpath "$2")
TALLIMO_ROOT=$(realpath "$(dirname "$0")/../../..")
source "$TALLIMO_ROOT/tests/support/own_prefix.sh"
state="$build/wendmere-floppy-e2e"
disk="$state/disk"
"$TALLIMO_ROOT/tools/wine-stop" "$state"
# A run that was killed may have left its floppy mounted.
mountpoint -q "$disk" 2>/dev/null && umount "$disk"
fresh_prefix "$build" "$state"
mkdir -p "$disk"
mounted=
if error=$(mount -t tmpfs -o size=2880k tmpfs "$disk" 2>&1); then
  mounted=1
else
  export TALLIMO_FLOPPY_SKIP="a 2.88 MB floppy cannot be mounted here (mount: ${error:-failed}; it needs root)"
fi
finish() {
  "$TALLIMO_ROOT/tools/wine-stop" "$state"
  [ -n "$mounted" ] && umount "$disk"
}
trap finish EXIT
[ -n "$mounted" ] && declare_floppy "$state" "$disk"
unset TALLIMO_USE_DISPLAY
status=0
cd "$(dirname "$driver")"
"$TALLIMO_ROOT/tools/wine-run" "$state" "$driver" || status=$?
exit $status
