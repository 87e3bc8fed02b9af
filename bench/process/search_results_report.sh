#!/bin/bash
# The search results' printout under Wine beside enscript: whole processes,
# side by side in one run (A B A B ...), each figure the median of five runs of
# wall-clock seconds, with the ratios, and the start-up of a program of ours
# under Wine (a harness that only starts and ends), which every Wine figure
# holds.
#   1. Print Preview of a 100-page report until its last page is stored,
#      beside enscript turning the same lines into 100 Letter pages of
#      PostScript with a date, title and page-number header (-L: the report's
#      rows per page); the floor: writing the same 100 stored page images to a
#      file (cp of the pages the preview stored).
#   2. Print until the PDF is complete (Wine, the PDF printer's queue and its
#      Ghostscript), beside enscript | ps2pdf on the same lines (Ghostscript).
# Needs enscript (Debian: apt-get install enscript), ps2pdf (ghostscript) and
# the PDF test printer (tools/pdf-printer, as root). Builds the harness first.
#   bench/process/search_results_report.sh [runs]
set -euo pipefail
root=$(dirname "$(dirname "$(dirname "$(realpath "$0")")")")
cd "$root"
runs=${1:-5}
for tool in enscript ps2pdf; do
  command -v $tool >/dev/null || { echo "$0: $tool is missing (apt-get install enscript ghostscript)" >&2; exit 1; }
done
export TALLIMO_PDF_OUT=${TALLIMO_PDF_OUT:-$(tools/pdf-printer)}
cmake --build build/win64 --target search_results_report_bench >/dev/null
work=build/win64/bench/search_results_report
mkdir -p "$work"
cd "$work"
harness=("$root/tools/wine-run" "$root/build/win64" ../search_results_report_bench.exe)
title="Search Results - journal.txt"

# Lines as the results window lists them: line number, five blanks, the line.
entries() { awk -v n="$1" 'BEGIN { for (i = 0; i < n; i++) printf "%d     SUB TOTAL %d.25 RECEIPT %d\n", 3*i+1, 3*i+1, i }'; }

# The report's rows per page, from the pages of 10000 entries.
entries 10000 >rows.txt
pages=$("${harness[@]}" preview rows.txt "$title" | sed -n 's/^preview: \([0-9]*\) pages.*/\1/p')
[ -n "$pages" ] || { echo "$0: the preview did not finish" >&2; exit 1; }
rows=$(( (10000 + pages - 1) / pages ))
entries $(( 100 * rows )) >lines.txt
"${harness[@]}" preview lines.txt "$title" pages.qrp | grep -q '^preview: 100 pages' ||
  { echo "$0: $(( 100 * rows )) entries do not make 100 pages" >&2; exit 1; }
echo "$(wc -l <lines.txt) lines, $rows rows a page, 100 pages; stored pages $(stat -c %s pages.qrp) bytes"

header='Date: $D{%c}|'"$title"'|Page: $%'
enscript_ps() { enscript -q -M Letter -L "$rows" -b "$header" -o out.ps lines.txt; }
enscript_pdf() { enscript -q -M Letter -L "$rows" -b "$header" -o - lines.txt | ps2pdf - out.pdf; }
floor() { cp pages.qrp copy.qrp; }
preview() { "${harness[@]}" preview lines.txt "$title" >/dev/null; }
print() { "${harness[@]}" print lines.txt "$title" >/dev/null; }
start() { "${harness[@]}" start; }

source "$(dirname "$(realpath "$0")")/side_by_side.sh"

mapfile -t first < <(side_by_side preview enscript_ps floor start)
mapfile -t second < <(side_by_side print enscript_pdf)
printf '%-52s %8s s\n' "Wine start-up (a program that only starts and ends)" "${first[3]}"
printf '%-52s %8s s\n' "Print Preview until the last page is stored" "${first[0]}" \
  "enscript, 100 Letter pages of PostScript" "${first[1]}" \
  "floor: the 100 stored page images written to a file" "${first[2]}"
printf '  preview / enscript %sx, preview / floor %sx, (preview - start-up) / enscript %sx\n' \
  "$(ratio "${first[0]}" "${first[1]}")" "$(ratio "${first[0]}" "${first[2]}")" \
  "$(ratio "${first[0]} - ${first[3]}" "${first[1]}")"
printf '%-52s %8s s\n' "Print until the PDF is complete" "${second[0]}" \
  "enscript | ps2pdf" "${second[1]}"
printf '  print / (enscript | ps2pdf) %sx\n' "$(ratio "${second[0]}" "${second[1]}")"
rm -f rows.txt out.ps out.pdf copy.qrp
