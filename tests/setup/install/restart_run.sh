#!/bin/bash
# A file in use replaced across a restart of Windows, in a throwaway prefix
# (a restart applies pending renames and runs RunOnce values, which must
# never hit the build's shared test prefix):
#   restart_run.sh BUILD_DIR restart_driver.exe
set -euo pipefail
build=$(realpath "$1"); driver=$2
TALLIMO_ROOT=$(realpath "$(dirname "$0")/../../..")
source "$TALLIMO_ROOT/tests/support/own_prefix.sh"
state="$build/restart"
folder='C:\restart test'
# Console programs only: no display needed.
export TALLIMO_USE_DISPLAY=1 DISPLAY=
fresh_prefix "$build" "$state"
status=0
"$TALLIMO_ROOT/tools/wine-run" "$state" "$driver" prepare "$folder" || status=$?
if [ $status -eq 0 ]; then
  # The program has ended; start Windows again.
  restart_windows "$state" || status=$?
  [ $status -eq 0 ] && { "$TALLIMO_ROOT/tools/wine-run" "$state" "$driver" check "$folder" || status=$?; }
fi
"$TALLIMO_ROOT/tools/wine-stop" "$state"
exit $status
