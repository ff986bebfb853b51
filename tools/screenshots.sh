#!/usr/bin/env bash
# make screenshots: the settings window on a Wine virtual desktop of 1024x768, every page,
# the page "壁紙" with a folder's contents and a preview, the folder settings dialog, the
# picker with a preview, the about window, the window at its smallest and at 1024x768, and a
# desk of two monitors with a picture on each and the calendar (monitors.png), as PNGs under
# build/screens/; the same windows at 144 DPI (150 %) under build/screens/dpi144/; and a
# wallpaper with the calendar composed for a 3840x2160 screen at 192 DPI (200 %) beside one for
# a 1920x1080 screen at 96 DPI, as build/screens/calendar-192dpi.png and calendar-96dpi.png; the
# own calendar's dialog (own-calendar.png), and a bright photo with the own calendar's days
# without and with the plate under the calendar (calendar-bright.png, calendar-plate.png and
# calendar-plate-bar.png).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# The prefix of the tests (wine-env.sh), unless told otherwise.
source "$root/tools/wine-env.sh"
"$root/tools/wine-prefix.sh"

win32="$VOREL_WIN_BUILD"
screens="$root/build/screens"
pictures="$screens/pictures"
mkdir -p "$pictures" "$screens/dpi144"
rm -f "$screens"/*.bmp "$screens"/*.png "$screens"/dpi144/*.bmp "$screens"/dpi144/*.png
if [ ! -f "$pictures/夕焼け.bmp" ]; then
  convert -size 640x400 gradient:'#ff9a3c-#2b1055' -swirl 40 BMP3:"$pictures/夕焼け.bmp"
  convert -size 300x500 plasma:'#1e5799-#7db9e8' -blur 0x6 BMP3:"$pictures/空.bmp"
  echo text >"$pictures/memo.txt"
fi
# More names for the page's folder contents, and a subfolder that "一層" searches.
if [ ! -f "$pictures/海辺/波.bmp" ]; then
  mkdir -p "$pictures/海辺"
  convert -size 480x320 gradient:'#00c6ff-#0072ff' -wave 12x120 BMP3:"$pictures/海辺/波.bmp"
  convert -size 400x400 radial-gradient:'#fff6b7-#f6416c' BMP3:"$pictures/Aurora.bmp"
  convert -size 320x480 gradient:'#a8e063-#56ab2f' BMP3:"$pictures/草原.bmp"
fi
# A bright photo of sky and snow, where the default white digits get lost.
if [ ! -f "$screens/bright/雪原.bmp" ]; then
  mkdir -p "$screens/bright"
  convert -seed 7 -size 960x540 plasma:'#eef6ff-#fff3c4' -blur 0x2 -modulate 112,60 BMP3:"$screens/bright/雪原.bmp"
fi
winpath() { winepath -w "$1" 2>/dev/null; }
plugins="$(winpath "$win32/tests/fixtures/plugins/vtp24")"
out="$(winpath "$screens")"
pics="$(winpath "$pictures")"

shoot() { # folder for the pictures
  wine explorer /desktop=VorelScreens,1024x768 "$win32/tools/vorel_screens.exe" "$1" "$plugins" "$pics" \
    >/dev/null 2>&1
}
calendar() { # screen width, height
  wine "$win32/tools/vorel_screens.exe" --calendar "$out" "$pics\\夕焼け.bmp" "$1" "$2" >/dev/null 2>&1
}
plates() { # screen width, height
  wine "$win32/tools/vorel_screens.exe" --plate "$out" "$bright\\雪原.bmp" "$1" "$2" >/dev/null 2>&1
}
out144="$(winpath "$screens/dpi144")"
bright="$(winpath "$screens/bright")"
export -f shoot calendar plates
export win32 out out144 plugins pics bright
# Each scale in a session of its own (tools/wine-dpi.sh), the project's prefix at 96 DPI.
"$root/tools/with-display.sh" bash -c '
  shoot "$out"
  calendar 1920 1080
  plates 1920 1080
  "$1"/wine-dpi.sh 144 -- bash -c "shoot \"\$out144\""
  "$1"/wine-dpi.sh 192 -- bash -c "calendar 3840 2160"' _ "$root/tools"

"$root/tools/with-monitors.sh" --photo "$screens/monitors.png" 1280x1024 1024x768 -- \
  "$win32/tools/vorel_monitors_screen.exe" "$out" "$pics" >/dev/null 2>&1 ||
  echo "screenshots: the desk of two monitors could not be photographed" >&2

for bmp in "$screens"/*.bmp "$screens"/dpi144/*.bmp; do
  convert "$bmp" "${bmp%.bmp}.png"
  rm -f "$bmp"
done
ls "$screens"/*.png "$screens"/dpi144/*.png
