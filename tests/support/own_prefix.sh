# Shell functions for tests that run Windows programs in a Wine prefix of
# their own (sourced by the run scripts beside the tests). Such a prefix
# takes what must never reach the build's shared test prefix: a restart of
# Windows, a floppy drive, an installation into Program Files.

# fresh_prefix BUILD_DIR STATE_DIR: an empty state folder for tools/wine-run,
# with the build's booted clean prefix linked in (wine-run copies it and
# never writes to it), so the new prefix needs no boot of its own.
fresh_prefix() {
  local build=$1 state=$2
  "$TALLIMO_ROOT/tools/wine-stop" "$state"
  rm -rf "$state"
  mkdir -p "$state/wine"
  if [ -f "$build/wine/clean-prefix/.booted" ]; then
    cp -al "$build/wine/clean-prefix" "$state/wine/clean-prefix"
  fi
}

# declare_floppy STATE_DIR DISK_FOLDER: the folder becomes drive A: of the
# state's prefix, declared a floppy drive. The drive settings are read when
# the prefix's server starts: they are set with a server of their own, whose
# end writes them out.
declare_floppy() {
  local state=$1 disk=$2 prefix="$1/wine/prefix"
  TALLIMO_USE_DISPLAY=1 DISPLAY= "$TALLIMO_ROOT/tools/wine-run" "$state" cmd /c exit >/dev/null 2>&1
  ln -sfn "$disk" "$prefix/dosdevices/a:"
  WINEPREFIX="$prefix" WINEDEBUG=-all wine reg add 'HKLM\Software\Wine\Drives' /v a: /t REG_SZ /d floppy /f \
    >/dev/null 2>&1
  "$TALLIMO_ROOT/tools/wine-stop" "$state"
}

# restart_windows STATE_DIR [DISPLAY]: ends the prefix's session and starts
# Windows again, which applies pending renames and runs (and waits for) the
# RunOnce commands; window programs among them use the display given. A
# continuation that never ends must not hold the test: two minutes at most.
restart_windows() {
  local prefix="$1/wine/prefix" display=${2:-} status=0
  WINEPREFIX="$prefix" wineserver -k || true
  WINEPREFIX="$prefix" WINEDEBUG=-all DISPLAY="$display" \
    WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d" \
    timeout 120 wineboot -r >/dev/null 2>&1 || status=$?
  WINEPREFIX="$prefix" timeout 60 wineserver -w || true
  [ $status -eq 0 ] || echo "restart_windows: wineboot -r failed with $status"
  return $status
}
