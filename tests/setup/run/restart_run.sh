#!/bin/bash
# Whole install runs across a restart of Windows, in a throwaway prefix (a
# restart applies pending renames and runs RunOnce values, which must never
# hit the build's shared test prefix):
#   restart_run.sh BUILD_DIR restart_run_driver.exe
# The installers are window programs, so the prefix gets the private display
# wine-run starts, and the restart's RunOnce programs use it too.
set -euo pipefail
build=$(realpath "$1"); driver=$2
root=$(realpath "$(dirname "$0")/../../..")
state="$build/restart-run"
folder='C:\restart run'
unset TALLIMO_USE_DISPLAY CTEST_RESOURCE_GROUP_0_DISPLAYS
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
  # The installers have ended and the old programs are released; end the
  # session and start Windows again. It runs the RunOnce commands and waits
  # for them, so a continuation that never ends must not hold the test.
  WINEPREFIX="$prefix" wineserver -k || true
  WINEPREFIX="$prefix" WINEDEBUG=-all DISPLAY="$(cat "$state/wine/xvfb.display")" \
    WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d" \
    timeout 120 wineboot -r >/dev/null 2>&1 || status=$?
  WINEPREFIX="$prefix" timeout 60 wineserver -w || true
  [ $status -eq 0 ] || echo "restart_run.sh: wineboot -r failed with $status"
  [ $status -eq 0 ] && { "$root/tools/wine-run" "$state" "$driver" check "$folder" || status=$?; }
fi
"$root/tools/wine-stop" "$state"
exit $status
