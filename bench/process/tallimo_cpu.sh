#!/bin/bash
# Whole-process CPU time of the capture program, and of the wineserver that
# serves it, while it collects at the pace of a 9600-baud line for a minute,
# against the same program idle for a minute, in one run. The goal: under 1 %
# of a core above idle. tools/bench/process/tallimo_cpu.sh [seconds]
set -euo pipefail
root=$(dirname "$(dirname "$(dirname "$(realpath "$0")")")")
cd "$root"
seconds=${1:-60}
cmake --build build/win64 --target tallimo_capture_bench >/dev/null
ticks=$(getconf CLK_TCK)

# utime + stime of a process, in clock ticks (0 when it is gone).
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }

# The wineserver of this build's prefix: its working folder is named after the
# prefix folder's device and inode.
prefix_server() {
  local prefix="$root/build/win64/wine/prefix"
  [ -d "$prefix" ] || prefix=$(ls -d "$root"/build/win64/wine/* 2>/dev/null | head -1)
  local id
  id=$(printf 'server-%s-%x' "$(stat -c %D "$prefix")" "$(stat -c %i "$prefix")")
  for pid in $(pgrep -x "wineserver(64)?"); do
    case "$(readlink "/proc/$pid/cwd" 2>/dev/null)" in *"$id") echo "$pid"; return ;; esac
  done
}

# The Windows process itself, not the loader that started it.
program_pid() {
  for pid in $(pgrep -f 'tallimo_bench.Tallimo\.exe'); do
    [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "Tallimo.exe" ] && { echo "$pid"; return; }
  done
  pgrep -f 'tallimo_bench.Tallimo\.exe' | tail -1
}

declare -A at
program="" server=""
sample() {
  local phase=$1
  # The processes are found once, so every phase reads the same ones.
  [ -n "$program" ] || program=$(program_pid || true)
  [ -n "$server" ] || server=$(prefix_server || true)
  at[$phase.program]=$([ -n "$program" ] && cpu_ticks "$program" || echo 0)
  at[$phase.server]=$([ -n "$server" ] && cpu_ticks "$server" || echo 0)
}

while read -r line; do
  line=${line%$'\r'}
  case "$line" in
    "PHASE idle") sample idle ;;
    "PHASE collecting") sample collecting ;;
    "PHASE end") sample end ;;
    *) echo "$line" ;;
  esac
done < <(tools/wine-run build/win64 build/win64/bench/tallimo_capture_bench.exe --idle-then-collecting "$seconds")

percent() { awk -v t="$1" -v hz="$ticks" -v s="$seconds" 'BEGIN {printf "%.2f", 100 * t / hz / s}'; }
idle_program=$((at[collecting.program] - at[idle.program]))
idle_server=$((at[collecting.server] - at[idle.server]))
busy_program=$((at[end.program] - at[collecting.program]))
busy_server=$((at[end.server] - at[collecting.server]))
echo "program pid ${program:-none}, wineserver pid ${server:-none}"
echo "idle ${seconds} s:       program $(percent $idle_program) %, wineserver $(percent $idle_server) % of a core"
echo "collecting ${seconds} s: program $(percent $busy_program) %, wineserver $(percent $busy_server) % of a core"
echo "above idle: $(percent $((busy_program + busy_server - idle_program - idle_server))) % of a core (goal: under 1 %)"
