#!/bin/bash
# Print Preview of one very long matching line beside the same bytes in
# 80-character lines: whole processes under Wine (the search results' report
# harness), side by side in one run (A B A B ...), each figure the median of
# the runs' wall-clock seconds until the preview's last page is stored. One
# line of 100 KB, 300 KB and 700 KB, with blanks (words of a register's
# journal) and without; the aim is at most twice the 80-character lines.
#   bench/process/long_line_report.sh [runs]
set -euo pipefail
here=$(dirname "$(realpath "$0")")
root=$(dirname "$(dirname "$here")")
cd "$root"
runs=${1:-3}
cmake --build build/win64 --target search_results_report_bench >/dev/null
work=build/win64/bench/long_line_report
mkdir -p "$work"
cd "$work"
harness=("$root/tools/wine-run" "$root/build/win64" ../search_results_report_bench.exe)
title="Search Results - journal.txt"

# N bytes of a journal, with or without its blanks, on one line.
journal() {
  awk -v n="$1" -v blanks="$2" 'BEGIN {
    for (i = 0; length(s) < n; i++) s = s sprintf("SUB TOTAL %d.25 RECEIPT %d ", i, i)
    if (!blanks) gsub(/ /, "#", s)
    printf "%s\n", substr(s, 1, n) }'
}
split80() { fold -w 80 "$1" >"$2"; }

for size in 100 300 700; do
  for kind in blanks solid; do
    journal $((size * 1000)) $([ $kind = blanks ] && echo 1 || echo 0) >"line_${size}_$kind.txt"
    split80 "line_${size}_$kind.txt" "lines_${size}_$kind.txt"
  done
done

preview() { "${harness[@]}" preview "$1" "$title" | grep -q '^preview: '; }
printf '%-34s %10s %10s %7s\n' "Print Preview, median of $runs" "one line" "80 a line" "ratio"
source "$here/side_by_side.sh"
for size in 100 300 700; do
  for kind in blanks solid; do
    one() { preview "line_${size}_$kind.txt"; }
    many() { preview "lines_${size}_$kind.txt"; }
    mapfile -t t < <(side_by_side one many)
    printf '%-34s %8s s %8s s %6sx\n' "${size} KB, $([ $kind = blanks ] && echo with || echo without) blanks" \
      "${t[0]}" "${t[1]}" "$(ratio "${t[0]}" "${t[1]}")"
  done
done
rm -f line_*.txt lines_*.txt
