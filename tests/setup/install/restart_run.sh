#!/bin/bash
# A file in use replaced across a restart of Windows, in a throwaway prefix
# (a restart applies pending renames and runs RunOnce values, which must
# never hit the build's shared test prefix):
#   restart_run.sh BUILD_DIR restart_driver.exe
set -euo pipefail
build=$(realpath "$1"); driver=$2
root=$(realpath "$(dirname "$0")/../../..")
state="$build/restart"
folder='C:\restart test'
# Console programs only: no display needed.
export TALLIMO_USE_DISPLAY=1 DISPLAY=
"$root/tools/wine-stop" "$state"
rm -rf "$state"
mkdir -p "$state/wine"
# The build's booted clean prefix serves as this one's too (wine-run copies
# it and never writes to it).
if [ -f "$build/wine/clean-prefix/.booted" ]; then
  cp -al "$build/wine/clean-prefix" "$state/wine/clean-prefix"
fi
prefix="$state/wine/prefix"
status=0
"$root/tools/wine-run" "$state" "$driver" prepare "$folder" || status=$?
if [ $status -eq 0 ]; then
  # The program has ended; end the session and start Windows again.
  WINEPREFIX="$prefix" wineserver -k || true
  WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d" \
    wineboot -r >/dev/null 2>&1 || status=$?
  WINEPREFIX="$prefix" wineserver -w || true
  [ $status -eq 0 ] && { "$root/tools/wine-run" "$state" "$driver" check "$folder" || status=$?; }
fi
"$root/tools/wine-stop" "$state"
exit $status
