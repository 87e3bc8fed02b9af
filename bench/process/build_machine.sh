# The build machine of the setup benchmarks, as the end-to-end test prepares
# it, in a Wine prefix of its own (an install's folders and the vendor key
# must not reach the build's shared test prefix): build/win64/bench/NAME.
# Sets state, drive, source (the product's four files) and loader, and run,
# which starts a program in that prefix.
#   source bench/process/build_machine.sh; prepare_build_machine NAME
build=build/win64
run() { tools/wine-run "$state" "$@"; }

prepare_build_machine() {
  state=$(realpath -m $build/bench/$1)
  tools/wine-stop "$state"
  rm -rf "$state"
  mkdir -p "$state/wine"
  # The build's booted clean prefix serves as this one's too (wine-run copies
  # it and never writes to it).
  if [ -f $build/wine/clean-prefix/.booted ]; then
    cp -al $build/wine/clean-prefix "$state/wine/clean-prefix"
  fi
  trap 'tools/wine-stop "$state"' EXIT
  run reg add 'HKCU\Software\Corvath\P32V35' /v LibraryPath /t REG_SZ /d 'C:\Corvath\P32V35' /f >/dev/null
  drive="$state/wine/prefix/drive_c"
  source="$drive/Quorvane Build"
  mkdir -p "$source" "$drive/Corvath/P32V35" "$drive/Quorvane Setup"
  cp $build/capture/Tallimo.exe "$source/Quorvane - Brask.exe"
  cp $build/tests/support/stand_in_uninstaller.exe "$source/uninstall.exe"
  printf 'placeholder help file\r\n' >"$source/QUORVANE.HLP"
  printf ':Base QUORVANE.HLP\r\n' >"$source/QUORVANE.CNT"
  loader=$build/tests/support/stand_in_loader.exe
  cp "$loader" "$drive/Corvath/P32V35/PembrinLoadProgram.exe"
  : >"$drive/Corvath/P32V35/P32V35.TXT"
  cp $build/setup/Wendmere.exe "$drive/Quorvane Setup/Wendmere.exe"
  printf 'C:\\Quorvane Dist\r\n' >"$drive/Quorvane Setup/BUILD.INF"
}
