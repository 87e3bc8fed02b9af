#!/bin/bash
# The setup program from end to end in a Wine prefix and display of its own
# (an install writes to Program Files, the shell's folders and the machine's
# registry, and a restart replays the whole start-up of Windows, none of which
# may reach the build's shared test prefix):
#   wendmere_run.sh BUILD_DIR DRIVER.exe [STATE_NAME]
# STATE_NAME (default wendmere-e2e) names the folder in BUILD_DIR that holds
# the prefix and its display, so that the end-to-end tests can run side by side.
set -euo pipefail
build=$(realpath "$1"); driver=$(realpath "$2")
TALLIMO_ROOT=$(realpath "$(dirname "$0")/../../..")
source "$TALLIMO_ROOT/tests/support/own_prefix.sh"
state="$build/${3:-wendmere-e2e}"
fresh_prefix "$build" "$state"
unset TALLIMO_USE_DISPLAY
status=0
cd "$(dirname "$driver")"
"$TALLIMO_ROOT/tools/wine-run" "$state" "$driver" || status=$?
"$TALLIMO_ROOT/tools/wine-stop" "$state"
exit $status
