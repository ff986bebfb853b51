#!/usr/bin/env bash
# Runs a Windows program under Wine on a desk of several monitors, then stops everything it
# started, whether the program passed or failed.
#
#   with-monitors.sh [--windows VERSION] [--alone WxH] [--photo FILE.png] WxH [WxH ...] -- program.exe [arguments]
#
# Wine 8 takes its monitors from Xinerama when it is told not to use XRandR, and Xvfb's own
# +xinerama puts every screen at the origin; so the monitors are the screens of a Xephyr
# server with +xinerama (laid side by side, the first one primary), shown inside an Xvfb
# screen that holds them all. The program runs in a copy of the project's prefix that reads
# them so ("UseXRandR"="N"); --windows gives that copy another Windows version (winecfg -v).
#
# VOREL_MONITOR_SWITCH names, as a Windows path, a script that the program may start with the
# argument "one" or "all". "one" makes Wine list a single monitor, of the first one's size or
# of the --alone size (a new primary screen size): it opens a Wine virtual desktop of that
# size elsewhere, which Wine 8 takes as the display settings of every desktop; the program
# then tells the windows itself (WM_DISPLAYCHANGE), since that desktop's change is told to
# its own windows only. "all" applies the desk's display settings again, which makes Wine
# read all its monitors once more and send WM_DISPLAYCHANGE to every window. VOREL_MONITORS
# lists the monitors' sizes as given, VOREL_MONITOR_ALONE the one monitor's.
#
# With --photo, VOREL_MONITOR_PHOTO names a script that photographs the X screen showing the
# monitors (each where Xephyr's window for it is) into FILE.png, which the program finds as
# VOREL_MONITOR_PHOTO_FILE once it is complete.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/wine-env.sh"
"$here/wine-prefix.sh" >/dev/null || exit 1

windows=""
alone=""
photo=""
while [ "${1:-}" = "--windows" ] || [ "${1:-}" = "--alone" ] || [ "${1:-}" = "--photo" ]; do
  [ "$1" = "--windows" ] && windows="$2"
  [ "$1" = "--alone" ] && alone="$2"
  [ "$1" = "--photo" ] && photo="$2"
  shift 2
done
screens=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  screens+=("$1")
  shift
done
[ "${1:-}" = "--" ] && shift
if [ ${#screens[@]} -lt 1 ] || [ $# -lt 1 ]; then
  echo "usage: with-monitors.sh [--windows VERSION] [--alone WxH] [--photo FILE.png] WxH [WxH ...] -- program.exe [arguments]" >&2
  exit 2
fi

work="$(mktemp -d /tmp/vorel-monitors.XXXXXX)"
pids=()
cleanup() {
  WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1 || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The prepared prefix, linked; what Wine writes (the registry) copied.
cp -al "$WINEPREFIX" "$work/prefix"
for reg in system.reg user.reg userdef.reg; do
  [ -f "$WINEPREFIX/$reg" ] && rm -f "$work/prefix/$reg" && cp "$WINEPREFIX/$reg" "$work/prefix/$reg"
done
export WINEPREFIX="$work/prefix" VOREL_WINEPREFIX="$work/prefix"

# Starts an X server (the command) on a display number it chooses itself and reports
# (-displayfd), so that servers started at the same moment by other runs never share one; the
# number goes into the variable named first.
start_server() {
  local var="$1"
  shift
  local file="$work/display.$var"
  : >"$file"
  "$@" -displayfd 9 -nolisten tcp -noreset 9>"$file" >/dev/null 2>&1 &
  local pid=$!
  for _ in $(seq 1 100); do
    if [ -s "$file" ]; then
      printf -v "$var" '%s' "$(tr -dc 0-9 <"$file")"
      pids+=("$pid")
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  kill "$pid" 2>/dev/null
  return 1
}

width=0
height=0
desk=()
for s in "${screens[@]}"; do
  w="${s%x*}"
  h="${s#*x}"
  desk+=(-screen "${w}x${h}+${width}+0")
  width=$((width + w))
  [ "$h" -gt "$height" ] && height="$h"
done
first="${alone:-${screens[0]}}"

host=""
many=""
if ! start_server host Xvfb -screen 0 "${width}x${height}x24" ||
  ! DISPLAY=":$host" start_server many Xephyr +xinerama "${desk[@]}"; then
  echo "with-monitors: could not start the X servers" >&2
  exit 1
fi
export DISPLAY=":$many"
export VOREL_MONITORS="${screens[*]}" VOREL_MONITOR_ALONE="$first"

wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /t REG_SZ /d N /f >/dev/null 2>&1
[ -n "$windows" ] && wine winecfg -v "$windows" >/dev/null 2>&1
wineserver -w
# As tools/with-display.sh: the server's helpers and the desktop started away from the
# program's output.
wineserver -p >/dev/null 2>&1 || true
wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
wine explorer.exe /desktop </dev/null >/dev/null 2>&1 &

helper="$VOREL_WIN_BUILD/tests/fixtures/display_settings/display_settings.exe"
cat >"$work/switch" <<EOF
#!/bin/sh
export DISPLAY=":$many" WINEPREFIX="$WINEPREFIX" PATH="$PATH"
case "\$1" in
  one) exec wine explorer.exe /desktop=VorelAlone,$first cmd.exe /c exit >/dev/null 2>&1 ;;
  *) exec wine "$helper" >/dev/null 2>&1 ;;
esac
EOF
chmod +x "$work/switch"
export VOREL_MONITOR_SWITCH="$(winepath -w "$work/switch" 2>/dev/null)"
if [ -n "$photo" ]; then
  rm -f "$photo"
  cat >"$work/photo" <<EOF
#!/bin/sh
DISPLAY=":$host" import -window root "$work/photo.png" && mv "$work/photo.png" "$photo"
EOF
  chmod +x "$work/photo"
  export VOREL_MONITOR_PHOTO="$(winepath -w "$work/photo" 2>/dev/null)"
  export VOREL_MONITOR_PHOTO_FILE="$(winepath -w "$photo" 2>/dev/null)"
fi

wine "$@"
