#!/usr/bin/env bash
# Runs a command with a private Xvfb screen (VOREL_SCREEN, by default 1024x768x24) and the
# wineserver of WINEPREFIX started, then stops both, whether the command passed or failed, so
# nothing outlives it.
set -uo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
source "$here/wine-env.sh"

xvfb_pid=""
desktop_pid=""
cleanup() {
  # The desktop's starter first: still starting, it would bring up a new wineserver after the
  # old one was told to end.
  if [ -n "$desktop_pid" ]; then
    kill -KILL "$desktop_pid" 2>/dev/null || true
    wait "$desktop_pid" 2>/dev/null || true
  fi
  WINEPREFIX="$WINEPREFIX" wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX="$WINEPREFIX" timeout 20 wineserver -w >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb takes the first free display number itself and tells it through a file, so that any
# number of these scripts can start side by side without racing for a number.
display=""
number_file="$(mktemp /tmp/vorel-display.XXXXXX)"
Xvfb -displayfd 3 -screen 0 "${VOREL_SCREEN:-1024x768x24}" -nolisten tcp -noreset \
  3>"$number_file" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 200); do
  if grep -q '^[0-9][0-9]*$' "$number_file" 2>/dev/null; then
    display=":$(cat "$number_file")"
    break
  fi
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.05
done
rm -f "$number_file"
if [ -z "$display" ]; then
  echo "with-display: could not start Xvfb" >&2
  exit 1
fi
export DISPLAY="$display"
# One wineserver for the whole command, however many programs come and go in it, and the
# desktop's own process, which the first program with a window would otherwise start and
# wait for.
wineserver -p >/dev/null 2>&1 || true
if [ -f "$WINEPREFIX/system.reg" ]; then
  wine explorer.exe /desktop </dev/null >/dev/null 2>&1 &
  desktop_pid=$!
fi
"$@"
