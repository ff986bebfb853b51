#!/usr/bin/env bash
# Runs one Wine test (a Windows program and its arguments, or a script that runs one) in a
# session of its own: a fresh copy of the template prefix (wine-prefix.sh --clone), its own
# Xvfb screen, wineserver, desktop and XDG trash, so that any number of tests run side by
# side without seeing each other's registry, windows, tray, mutexes or DDE names. Everything
# of the session is stopped and removed afterwards, whether the test passed or failed.
#
# VOREL_TEST_TIMEOUT (seconds) ends the test from here before ctest's own timeout would kill
# this script and leave the session behind. VOREL_KEEP_SESSION=1 keeps the copy of the prefix
# (its registry, its temporary folder) of a failed test for a look.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/wine-env.sh"

if [ $# -eq 0 ]; then
  echo "usage: wine-test.sh PROGRAM.exe [ARGS...] | COMMAND [ARGS...]" >&2
  exit 2
fi
sessions="$VOREL_ROOT/build/wine-sessions"
mkdir -p "$sessions"
name="$(basename "$1")"
session="$(mktemp -d "$sessions/${name%.exe}.XXXXXX")"
cleanup() {
  if [ "${status:-1}" -ne 0 ] && [ "${VOREL_KEEP_SESSION:-0}" = 1 ]; then
    echo "wine-test: the session is kept in $session" >&2
  else
    rm -rf "$session"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

bash "$here/wine-prefix.sh" --clone "$session/prefix" || exit 1
# VOREL_SESSION_DPI: the session's display scale (tools/wine-dpi.sh), written into the copy's
# registry before Wine first reads it.
if [ -n "${VOREL_SESSION_DPI:-}" ]; then
  if ! [[ $VOREL_SESSION_DPI =~ ^[0-9]+$ ]] ||
    ! grep -q '^\[Control Panel\\\\Desktop\] ' "$session/prefix/user.reg"; then
    echo "wine-test: cannot set the display scale '$VOREL_SESSION_DPI'" >&2
    exit 2
  fi
  awk -v value="$(printf '%08x' "$VOREL_SESSION_DPI")" \
    '{ print } /^\[Control Panel\\\\Desktop\] / { print "\"LogPixels\"=dword:" value }' \
    "$session/prefix/user.reg" >"$session/user.reg" && mv "$session/user.reg" "$session/prefix/user.reg" || exit 1
fi
export VOREL_WINEPREFIX="$session/prefix"
export WINEPREFIX="$VOREL_WINEPREFIX"
# The shell's Recycle Bin is the XDG trash under XDG_DATA_HOME: the session's own.
export XDG_DATA_HOME="$session/xdg-data"
mkdir -p "$XDG_DATA_HOME"

command=("$@")
case "$1" in
  *.exe | *.EXE) command=(wine "$@") ;;
esac
if [ -n "${VOREL_TEST_TIMEOUT:-}" ]; then
  command=(timeout -k 10 "$VOREL_TEST_TIMEOUT" "${command[@]}")
fi
"$here/with-display.sh" "${command[@]}"
status=$?
if [ "$status" -eq 124 ] && [ -n "${VOREL_TEST_TIMEOUT:-}" ]; then
  echo "wine-test: $name ran out of its ${VOREL_TEST_TIMEOUT} s and was ended" >&2
fi

# Whatever of the session survived the wineserver's end (its prefix is in its environment and
# is this session's alone) is ended here; this script's own helpers no longer carry it.
prefix="$session/prefix"
unset WINEPREFIX VOREL_WINEPREFIX
for environ in $(grep -lsFx -z "WINEPREFIX=$prefix" /proc/[0-9]*/environ); do
  pid="${environ#/proc/}"
  pid="${pid%/environ}"
  [ "$pid" != $$ ] && kill -KILL "$pid" 2>/dev/null && echo "wine-test: ended process $pid left by the session" >&2
done

# A file still shared with the template that changed in this session was written in place:
# the template and every prefix made from it would now carry the change.
changed="$(find "$prefix" -type f -links +1 -newer "$prefix/.vorel-ready" -print 2>/dev/null)"
if [ -n "$changed" ]; then
  echo "wine-test: the test changed files the prefix shares with the template; it is made afresh next time:" >&2
  echo "$changed" | sed "s|^$prefix/|  |" >&2
  status=1
fi
exit "$status"
