#!/bin/bash
# Times Open to a shown search results window under Wine (win64 build).
set -euo pipefail
root=$(dirname "$(dirname "$(dirname "$(realpath "$0")")")")
cd "$root"
cmake --build build/win64 --target log_viewer_open_timing >/dev/null
cd build/win64/bench
exec "$root/tools/wine-run" "$root/build/win64" ./log_viewer_open_timing.exe
