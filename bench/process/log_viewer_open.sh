#!/bin/bash
# The log viewer under Wine (win64 build) beside the platform's floor and
# grep: Open of a 750000-byte capture-like file and Find All until the
# results window is painted, for a common word (about 5,600 matching lines)
# and a rare one; the same two steps in a plain Win32 program (the edit
# control's WM_SETTEXT, the list box filled with redraw off); and
# `grep -n -i -F` of the same words in the same file.
#   bench/process/log_viewer_open.sh [runs]   (grep's runs; default 9)
set -euo pipefail
root=$(dirname "$(dirname "$(dirname "$(realpath "$0")")")")
runs=${1:-9}
source "$root/bench/process/side_by_side.sh"
cd "$root"
cmake --build build/win64 --target log_viewer_open_timing log_viewer_floor_timing >/dev/null
cd build/win64/bench
"$root/tools/wine-run" "$root/build/win64" ./log_viewer_floor_timing.exe
"$root/tools/wine-run" "$root/build/win64" ./log_viewer_open_timing.exe
# The harness deletes its file at the end: write the same bytes again for grep.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
"$root/tools/wine-run" "$root/build/win64" ./log_viewer_open_timing.exe --write-log "Z:$(echo "$log" | tr / '\\')" >/dev/null
grep_common() { grep -n -i -F total "$log"; }
grep_rare() { grep -n -i -F '#100777' "$log"; }
mapfile -t medians < <(side_by_side grep_common grep_rare)
printf 'grep -n -i -F, median of %d runs: total %d lines %.1f ms; #100777 %.1f ms\n' "$runs" \
  "$(grep -c -i -F total "$log")" "$(echo "${medians[0]} * 1000" | bc -l)" "$(echo "${medians[1]} * 1000" | bc -l)"
