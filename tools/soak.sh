#!/usr/bin/env bash
# make soak: Vorelset resident for SOAK_CHANGES changes (default 10000) under Wine on a
# virtual desktop, in a Wine prefix of its own (build/soak/wineprefix). The picture folder
# holds bitmaps of several sizes and depths, pictures in the test plug-ins' format (read by
# the plug-in of "SusiePath") and one broken bitmap. The driver (tools/soak/soak_win32.cpp)
# asks for each change as soon as the previous one has ended, with tray clicks, the tray menu,
# the settings window and timed changes in between, and samples process_counts every 100
# changes into build/soak/soak.csv. At the end: build/soak/soak.png (the counts against the
# changes), the slope of every count after the first 100 changes (least squares, per 1000
# changes), and the median and 99th percentile of the change time.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
changes="${SOAK_CHANGES:-10000}"
# SOAK_OUT: another folder for the results and the prefix, so that two runs can go side by
# side; SOAK_BROKEN=0 leaves the broken picture out; SOAK_SETTINGS_EVERY (runs, 251 by
# default, 0 never) is how often the driver opens the settings window.
soak="${SOAK_OUT:-$root/build/soak}"
export VOREL_WINEPREFIX="${VOREL_WINEPREFIX:-$soak/wineprefix}"
source "$root/tools/wine-env.sh"
win32="$VOREL_WIN_BUILD"

bash "$root/tools/install-deps.sh"
# The tree of `make build` (Ninja), configured here the same way if it is not there yet.
if [ ! -f "$win32/build.ninja" ]; then
  rm -rf "$win32"
  cmake -S "$root" -B "$win32" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$VOREL_WIN_TOOLCHAIN" >/dev/null
fi
cmake --build "$win32" --target Vorelset process_counts vorel_soak vorel_test_plugins -j "${JOBS:-2}" >/dev/null
bash "$root/tools/wine-prefix.sh"

# The pictures: bitmaps of 24 and 8 bits, some in the plug-in's format once the driver has
# converted them ("vtp-" names), one with a Japanese name, and one cut short.
pictures="$soak/pictures"
rm -rf "$pictures"
mkdir -p "$pictures"
convert=/usr/bin/convert
"$convert" -size 1280x960 gradient:'#ff9a3c-#2b1055' BMP3:"$pictures/夕焼け.bmp"
"$convert" -size 800x600 plasma:'#1e5799-#7db9e8' -seed 3 BMP3:"$pictures/sky.bmp"
"$convert" -size 1024x768 radial-gradient:'#c8f7c5-#145a32' -colors 200 -type Palette BMP3:"$pictures/forest8.bmp"
"$convert" -size 1600x1200 pattern:checkerboard -scale 1600x1200 BMP3:"$pictures/large.bmp"
"$convert" -size 640x480 gradient:'#f6d365-#fda085' BMP3:"$pictures/vtp-sunrise.bmp"
"$convert" -size 300x200 plasma:'#101010-#e0e0e0' -seed 7 BMP3:"$pictures/vtp-small.bmp"
if [ "${SOAK_BROKEN:-1}" != 0 ]; then head -c 4000 "$pictures/sky.bmp" >"$pictures/broken.bmp"; fi

winpath() { winepath -w "$1" 2>/dev/null; }
rm -f "$soak/soak.csv" "$soak/soak.csv.status" "$soak/change_times.txt" "$soak/soak.png"
# The driver on the virtual desktop; the explorer that starts it does not wait for it.
drive() {
  wine explorer /desktop=Soak,1024x768 "$win32/tools/vorel_soak.exe" "$(winpath "$win32/Vorelset.exe")" \
    "$(winpath "$win32/tools/process_counts.exe")" "$(winpath "$pictures")" \
    "$(winpath "$win32/tests/fixtures/plugins/vtp24")" "$(winpath "$soak")\\WallPaper.bmp" \
    "$(winpath "$soak")\\soak.csv" "$changes" "$(winpath "$soak")\\change_times.txt" >"$soak/driver.log" 2>&1 &
  # The driver itself: its command line starts with its name (the explorer's names it later).
  local gone=0 pattern='^[^ ]*vorel_soak\.exe'
  until [ -f "$soak/soak.csv.status" ]; do
    sleep 2
    if pgrep -u "$(id -u)" -f "$pattern" >/dev/null; then gone=0; else gone=$((gone + 1)); fi
    if [ "$gone" -ge 5 ] && [ ! -f "$soak/soak.csv.status" ]; then
      cat "$soak/driver.log"
      echo "soak: the driver ended without a result" >&2
      return 1
    fi
  done
  cat "$soak/driver.log"
  return "$(cat "$soak/soak.csv.status")"
}
export -f drive winpath
export SOAK_SETTINGS_EVERY="${SOAK_SETTINGS_EVERY:-251}"
export win32 soak pictures changes
status=0
"$root/tools/with-display.sh" bash -c drive || status=$?
if [ -s "$soak/soak.csv" ]; then
  python3 "$root/tools/soak-report.py" "$soak/soak.csv" "$soak/change_times.txt" "$soak/soak.png" || status=1
fi
exit $status
