#!/bin/bash
# The setup program's install under Wine beside cp and beside the archive's
# own extraction: whole processes, side by side in one run (A B A B ...), each
# figure the median of the runs' wall-clock seconds, and the start-up of a
# program of ours under Wine, which every Wine figure holds.
#   the install: the self-extracting setup of the product (the capture
#   program, the uninstaller, two help placeholders) driven page by page as a
#   user would, into an empty Program Files folder; besides its whole process,
#   the copy alone (from Next on the program-folder page to the page that
#   says the setup is complete: the check of the archive, the extraction,
#   the copy form's painting, shortcuts and registry);
#   the extraction: the same archive, inside the same setup.exe, taken out
#   into an empty folder by the archive component with nothing shown;
#   cp of the same four files on Linux;
#   the check the install makes before it replaces the first file (every
#   entry of the same archive read to its end, nothing written), alone.
# The install and its build machine live in a Wine prefix of its own:
# build/win64/bench/wendmere_install. Builds the programs first.
#   bench/process/wendmere_install.sh [runs]
set -euo pipefail
root=$(dirname "$(dirname "$(dirname "$(realpath "$0")")")")
cd "$root"
runs=${1:-5}
source "$root/bench/process/build_machine.sh"
cmake --build $build --target Wendmere Tallimo stand_in_loader stand_in_uninstaller wendmere_install_bench -j3 \
  >/dev/null
prepare_build_machine wendmere_install
harness=$(realpath $build/bench/wendmere_install_bench.exe)
run 'C:\Quorvane Setup\Wendmere.exe' -b
dist="$drive/Quorvane Dist"
[ -f "$dist/setup.exe" ] || { echo "$0: the build made no setup.exe" >&2; exit 1; }
files=("Quorvane - Brask.exe" uninstall.exe QUORVANE.HLP QUORVANE.CNT)
installed="$drive/Program Files/OSTREL SYSTEMS"
copies="$state/copies.txt" extractions="$state/extractions.txt" checks="$state/checks.txt"
: >"$copies"
: >"$extractions"
: >"$checks"

install() {
  rm -rf "$installed"
  # The clean-up batch of each run talks on the console: only the figure counts.
  run "$harness" install 'C:\Quorvane Dist\setup.exe' 'C:\Quorvane Dist' 2>/dev/null |
    sed -n 's/^copy: //p' >>"$copies"
  cmp -s "$installed/QUORVANE/Quorvane - Brask.exe" "$source/Quorvane - Brask.exe" ||
    { echo "$0: the install did not put the program in place" >&2; exit 1; }
}
extract() {
  rm -rf "$drive/Extracted"
  run "$harness" extract 'C:\Quorvane Dist\setup.exe' 'C:\Extracted' | sed -n 's/^extract: //p' >>"$extractions"
}
check() { run "$harness" check 'C:\Quorvane Dist\setup.exe' | sed -n 's/^check: //p' >>"$checks"; }
copy() { rm -rf "$state/cp" && mkdir "$state/cp" && (cd "$source" && cp "${files[@]}" "$state/cp/"); }
start() { run "$harness" start; }

source "$(dirname "$(realpath "$0")")/side_by_side.sh"

mapfile -t figures < <(side_by_side install extract copy start check)
for name in "${files[@]}"; do
  cmp -s "$drive/Extracted/$name" "$source/$name" || { echo "$0: the extraction lost $name" >&2; exit 1; }
done
# The warm-up's figures are not counted.
copy_median=$(tail -n "$runs" "$copies" | median)
extract_median=$(tail -n "$runs" "$extractions" | median)
check_median=$(tail -n "$runs" "$checks" | median)
input=0
for name in "${files[@]}"; do input=$(( input + $(stat -c %s "$source/$name") )); done
echo "the four files: $input bytes; files.1 in setup.exe: $(stat -c %s "$dist/files.1") bytes"
printf '%-60s %8s s\n' "Wine start-up (a program that only starts and ends)" "${figures[3]}" \
  "the install, whole process (pages driven as a user would)" "${figures[0]}" \
  "  of it the copy (Next on the program folder to complete)" "$copy_median" \
  "the archive's own extraction, whole process" "${figures[1]}" \
  "  of it the extraction (headers read, every entry written)" "$extract_median" \
  "the check before the copy (every entry read, nothing written)" "$check_median" \
  "cp of the same four files" "${figures[2]}"
printf '  the copy / the extraction %sx; the copy beyond the extraction %s s\n' \
  "$(ratio "$copy_median" "$extract_median")" "$(echo "$copy_median - $extract_median" | bc -l | xargs printf '%.3f')"
