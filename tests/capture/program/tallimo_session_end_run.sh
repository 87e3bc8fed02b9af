#!/bin/bash
# Ends the Windows session under a collecting capture program, in a Wine
# prefix and display of their own (ending the session ends every window
# program of a prefix, so it must never happen in the build's shared one):
#   tallimo_session_end_run.sh BUILD_DIR tallimo_session_end_e2e_test.exe
set -uo pipefail
build=$(realpath "$1"); driver=$(realpath "$2")
TALLIMO_ROOT=$(realpath "$(dirname "$0")/../../..")
source "$TALLIMO_ROOT/tests/support/own_prefix.sh"
state="$build/tallimo-session-end"
unset TALLIMO_USE_DISPLAY CTEST_RESOURCE_GROUP_0_DISPLAYS
fresh_prefix "$build" "$state"
trap '"$TALLIMO_ROOT/tools/wine-stop" "$state"' EXIT
status=0
cd "$(dirname "$driver")"
# The stand-in telephony library where a test puts it beside the program,
# Wine's own everywhere else.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}tapi32=n,b"
"$TALLIMO_ROOT/tools/wine-run" "$state" "$driver" || status=$?
exit $status
