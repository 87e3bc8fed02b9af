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
root=$(realpath "$(dirname "$0")/../../..")
state="$build/wendmere-floppy-e2e"
disk="$state/disk"
"$root/tools/wine-stop" "$state"
# A run that was killed may have left its floppy mounted.
mountpoint -q "$disk" 2>/dev/null && umount "$disk"
rm -rf "$state"
mkdir -p "$state/wine" "$disk"
mounted=
if error=$(mount -t tmpfs -o size=2880k tmpfs "$disk" 2>&1); then
  mounted=1
else
  export TALLIMO_FLOPPY_SKIP="a 2.88 MB floppy cannot be mounted here (mount: ${error:-failed}; it needs root)"
fi
finish() {
  "$root/tools/wine-stop" "$state"
  [ -n "$mounted" ] && umount "$disk"
}
trap finish EXIT
# The build's booted clean prefix serves as this one's too (wine-run copies
# it and never writes to it).
if [ -f "$build/wine/clean-prefix/.booted" ]; then
  cp -al "$build/wine/clean-prefix" "$state/wine/clean-prefix"
fi
if [ -n "$mounted" ]; then
  # The drive settings are read when the prefix's server starts: set them
  # with a server of their own, whose end writes them out.
  TALLIMO_USE_DISPLAY=1 DISPLAY= "$root/tools/wine-run" "$state" cmd /c exit >/dev/null 2>&1
  prefix="$state/wine/prefix"
  ln -sfn "$disk" "$prefix/dosdevices/a:"
  WINEPREFIX="$prefix" WINEDEBUG=-all wine reg add 'HKLM\Software\Wine\Drives' /v a: /t REG_SZ /d floppy /f \
    >/dev/null 2>&1
  "$root/tools/wine-stop" "$state"
fi
unset TALLIMO_USE_DISPLAY
status=0
cd "$(dirname "$driver")"
"$root/tools/wine-run" "$state" "$driver" || status=$?
exit $status
