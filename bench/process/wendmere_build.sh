#!/bin/bash
# The setup program's build of the distribution under Wine beside gzip: whole
# processes, side by side in one run (A B A B ...), each figure the median of
# the runs' wall-clock seconds, with the ratios, and the start-up of a program
# of ours under Wine (the stand-in uninstaller, which only writes a line and
# ends), which every Wine figure holds.
#   Wendmere.exe -b: reads BUILD.INF, copies the loading program, packs the
#   installer into "setup.1", compresses the product's four files (the capture
#   program, the uninstaller, the two help placeholders) into "files.1" and
#   appends both with the trailer to "setup.exe";
#   gzip -6 of the same four files into one file; and gzip -6 of everything
#   the build compresses, the four files and the installer.
# The build machine lives in a Wine prefix of its own (an install's folders
# and the vendor key must not reach the build's shared test prefix):
# build/win64/bench/wendmere_build. Builds the programs first.
#   bench/process/wendmere_build.sh [runs]
set -euo pipefail
root=$(dirname "$(dirname "$(dirname "$(realpath "$0")")")")
cd "$root"
runs=${1:-5}
source "$root/bench/process/build_machine.sh"
cmake --build $build --target Wendmere Tallimo stand_in_loader stand_in_uninstaller -j3 >/dev/null
prepare_build_machine wendmere_build
cp "$source/uninstall.exe" "$drive/only_starts.exe"
dist="$drive/Quorvane Dist"
files=("Quorvane - Brask.exe" uninstall.exe QUORVANE.HLP QUORVANE.CNT)

build_distribution() { run 'C:\Quorvane Setup\Wendmere.exe' -b; }
gzip_files() { (cd "$source" && gzip -6 -c "${files[@]}" >"$state/files.gz"); }
gzip_all() { (cd "$source" && gzip -6 -c "${files[@]}" "../Quorvane Setup/Wendmere.exe" >"$state/all.gz"); }
start() { run 'C:\only_starts.exe'; }

# The build must have made the whole distribution before it is timed.
build_distribution
size() { stat -c %s "$1"; }
for name in setup.exe setup.1 files.1; do
  [ -f "$dist/$name" ] || { echo "$0: the build made no $name" >&2; exit 1; }
done
[ "$(size "$dist/setup.exe")" -eq $(( $(size "$loader") + $(size "$dist/setup.1") + $(size "$dist/files.1") + 56 )) ] ||
  { echo "$0: setup.exe is not the loader, setup.1, files.1 and the trailer" >&2; exit 1; }

source "$(dirname "$(realpath "$0")")/side_by_side.sh"

mapfile -t figures < <(side_by_side build_distribution gzip_files gzip_all start)
input=0
for name in "${files[@]}"; do input=$(( input + $(size "$source/$name") )); done
installer=$(size "$drive/Quorvane Setup/Wendmere.exe")
echo "the four files $input bytes: files.1 $(size "$dist/files.1"), gzip -6 $(size "$state/files.gz");" \
  "the installer $installer bytes: setup.1 $(size "$dist/setup.1"); together with gzip -6 $(size "$state/all.gz");" \
  "setup.exe $(size "$dist/setup.exe")"
printf '%-58s %8s s\n' "Wine start-up (a program that only starts and ends)" "${figures[3]}" \
  "Wendmere.exe -b, the whole distribution" "${figures[0]}" \
  "gzip -6 of the same four files" "${figures[1]}" \
  "gzip -6 of the four files and the installer" "${figures[2]}"
printf '  build / gzip of the four %sx, (build - start-up) / gzip of the four %sx,\n' \
  "$(ratio "${figures[0]}" "${figures[1]}")" "$(ratio "${figures[0]} - ${figures[3]}" "${figures[1]}")"
printf '  (build - start-up) / gzip of the four and the installer %sx\n' \
  "$(ratio "${figures[0]} - ${figures[3]}" "${figures[2]}")"
