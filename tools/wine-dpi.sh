#!/usr/bin/env bash
# Runs a Windows program (or a command that runs Windows programs through tools/wine-run.sh) in
# a copy of the project's Wine prefix whose display scale is DPI: its "LogPixels" under
# HKCU\Control Panel\Desktop, which Wine reads when a process starts. The copy has a wineserver
# and a desktop of its own, started here and ended with the command, so the project's prefix
# and whatever runs in it meanwhile keep their own scale.
# Usage: wine-dpi.sh DPI PROGRAM.exe [ARGS...]   or   wine-dpi.sh DPI -- COMMAND [ARGS...]
# The copy is build/wineprefix[64]-dpiDPI, made once from the project's prefix: a copy of its
# registry and files, with the system's DLLs (most of its size, which Wine replaces only when
# it updates a prefix) linked rather than copied.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if [ $# -lt 2 ] || ! [[ $1 =~ ^[0-9]+$ ]]; then
  echo "usage: $0 DPI PROGRAM.exe [ARGS...] | $0 DPI -- COMMAND [ARGS...]" >&2
  exit 2
fi
dpi=$1
shift
source "$here/wine-env.sh"

if [ -n "${VOREL_DPI_COPY:-}" ]; then
  copy="$VOREL_DPI_COPY"  # started again below, on a screen of its own
else
  "$here/wine-prefix.sh" || exit 1
  base="$WINEPREFIX"
  copy="${base}-dpi$dpi"
  wanted="$(cat "$base/.vorel-ready")-dpi$dpi"
  (
    flock 9
    if [ "$(cat "$copy/.vorel-dpi" 2>/dev/null)" != "$wanted" ]; then
      rm -rf "$copy"
      mkdir -p "$copy"
      tar -C "$base" --exclude=./drive_c/windows/system32 -cf - . | tar -C "$copy" -xf - || exit 1
      cp -al "$base/drive_c/windows/system32" "$copy/drive_c/windows/" || exit 1
      WINEPREFIX="$copy" wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
        >/dev/null 2>&1 || exit 1
      WINEPREFIX="$copy" wineserver -w
      echo "$wanted" >"$copy/.vorel-dpi"
    fi
  ) 9>"$copy.lock" || {
    echo "wine-dpi: could not make $copy" >&2
    exit 1
  }
fi

if [ -z "${DISPLAY:-}" ]; then
  exec env VOREL_DPI_COPY="$copy" VOREL_WINEPREFIX="$copy" "$here/with-display.sh" "$0" "$dpi" "$@"
fi
export VOREL_WINEPREFIX="$copy" WINEPREFIX="$copy"
# The tests read the scale they were started for here.
export VOREL_EXPECT_DPI="$dpi"
cleanup() { wineserver -k >/dev/null 2>&1 || true; }
trap cleanup EXIT
# The server, its helper programs and the desktop started away from the command's output, which
# they would otherwise hold open for as long as they live.
wineserver -p >/dev/null 2>&1 || true
wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
wine explorer.exe /desktop </dev/null >/dev/null 2>&1 &
if [ "$1" = "--" ]; then
  shift
  "$@"
else
  wine "$@"
fi
