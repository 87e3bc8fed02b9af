#!/bin/bash
# The capture program collecting from a pseudo-terminal under Wine, beside head
# copying a pseudo-terminal to a file; and its CPU time at 9600-baud pacing.
set -euo pipefail
root=$(dirname "$(dirname "$(dirname "$(realpath "$0")")")")
cd "$root"
cmake --build build/win64 --target tallimo_capture_bench
tools/wine-run build/win64 build/win64/bench/tallimo_capture_bench.exe
