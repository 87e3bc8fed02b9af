#!/bin/bash
# Reception speed through a COM port under Wine, beside cat on the same
# pseudo-terminal. Builds the win64 build first.
set -euo pipefail
root=$(dirname "$(dirname "$(dirname "$(realpath "$0")")")")
cd "$root"
cmake --build build/win64 --target port_read_bench
tools/wine-run build/win64 build/win64/bench/port_read_bench.exe
