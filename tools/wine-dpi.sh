#!/usr/bin/env bash
# Runs a Windows program (or a command that runs Windows programs) at the display scale DPI, in
# a session of its own (tools/wine-test.sh): a fresh copy of the template prefix whose
# "LogPixels" under HKCU\Control Panel\Desktop, which Wine reads as each process starts, is set
# to DPI before any program runs, with its own screen, wineserver and desktop.
# Usage: wine-dpi.sh DPI PROGRAM.exe [ARGS...]   or   wine-dpi.sh DPI -- COMMAND [ARGS...]
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if [ $# -lt 2 ] || ! [[ $1 =~ ^[0-9]+$ ]]; then
  echo "usage: $0 DPI PROGRAM.exe [ARGS...] | $0 DPI -- COMMAND [ARGS...]" >&2
  exit 2
fi
dpi=$1
shift
[ "$1" = "--" ] && shift
# The tests read the scale they were started for as VOREL_EXPECT_DPI.
export VOREL_SESSION_DPI="$dpi" VOREL_EXPECT_DPI="$dpi"
exec bash "$here/wine-test.sh" "$@"
