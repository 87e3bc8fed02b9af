#!/bin/bash
# Whole install runs across a restart of Windows, in a throwaway prefix (a
# restart applies pending renames and runs RunOnce values, which must never
# hit the build's shared test prefix):
#   restart_run.sh BUILD_DIR restart_run_driver.exe
# The installers are window programs, so the prefix gets the private display
# wine-run starts, and the restart's RunOnce programs use it too.
set -euo pipefail
build=$(realpath "$1"); driver=$2
TALLIMO_ROOT=$(realpath "$(dirname "$0")/../../..")
source "$TALLIMO_ROOT/tests/support/own_prefix.sh"
state="$build/restart-run"
folder='C:\restart run'
unset TALLIMO_USE_DISPLAY CTEST_RESOURCE_GROUP_0_DISPLAYS
fresh_prefix "$build" "$state"
status=0
"$TALLIMO_ROOT/tools/wine-run" "$state" "$driver" prepare "$folder" || status=$?
if [ $status -eq 0 ]; then
  # The installers have ended and the old programs are released.
  restart_windows "$state" "$(cat "$state/wine/xvfb.display")" || status=$?
  [ $status -eq 0 ] && { "$TALLIMO_ROOT/tools/wine-run" "$state" "$driver" check "$folder" || status=$?; }
fi
"$TALLIMO_ROOT/tools/wine-stop" "$state"
exit $status
