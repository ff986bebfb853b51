#!/usr/bin/env bash
# Runs a command with a private Xvfb screen (VOREL_SCREEN, by default 1024x768x24), then stops the screen and the
# project's wineserver, whether the command passed or failed, so nothing outlives it.
set -uo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
source "$here/wine-env.sh"

xvfb_pid=""
cleanup() {
  WINEPREFIX="$WINEPREFIX" wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

display=""
for n in $(seq 91 140); do
  if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then
    Xvfb ":$n" -screen 0 "${VOREL_SCREEN:-1024x768x24}" -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X${n}" ] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    if [ -e "/tmp/.X11-unix/X${n}" ]; then display=":$n"; break; fi
    xvfb_pid=""
  fi
done
if [ -z "$display" ]; then
  echo "with-display: could not start Xvfb" >&2
  exit 1
fi
export DISPLAY="$display"
# One wineserver for the whole run, however many programs come and go in it. Its helper
# programs (services, devices) are started here, away from the command's output: started by
# the first test, they would hold that test's output open for as long as the server lives,
# and ctest would wait for it until the test's timeout.
wineserver -p >/dev/null 2>&1 || true
if [ -f "$WINEPREFIX/system.reg" ]; then wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true; fi
"$@"
