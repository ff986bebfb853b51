#!/usr/bin/env bash
# make demo: sample pictures are made (bitmaps in a folder and in a Japanese-named
# subfolder, a JPEG photo stored on its side with the EXIF orientation that stands it upright,
# one picture in the format only the project's test plug-in reads), Vorelrun's
# settings are written into the project's Wine prefix (that folder with its subfolders,
# random order, the calendar on, Vorelrun's defaults otherwise), and Vorelrun.exe runs on a
# Wine virtual desktop of 1024x768, then Vorelset with its tray menu open. The wallpaper file
# and screenshots of the desktop are saved under build/demo/. Running it again shows the next picture of the random cycle.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# The prefix of the tests (wine-env.sh), unless told otherwise.
source "$root/tools/wine-env.sh"
"$root/tools/wine-prefix.sh"

win32="$VOREL_WIN_BUILD"
demo="$root/build/demo"
pictures="$demo/pictures"
convert=/usr/bin/convert
mkdir -p "$pictures/壁紙"
if [ ! -f "$pictures/夕焼け.bmp" ]; then
  "$convert" -size 1600x1200 gradient:'#ff9a3c-#2b1055' -swirl 40 BMP3:"$pictures/夕焼け.bmp"
  "$convert" -size 1280x960 plasma:'#1e5799-#7db9e8' -blur 0x6 BMP3:"$pictures/壁紙/空.bmp"
  "$convert" -size 1024x768 radial-gradient:'#c8f7c5-#145a32' BMP3:"$pictures/森.bmp"
  "$convert" -size 1200x900 plasma:'#f6d365-#fda085' -blur 0x4 BMP3:"$demo/海.bmp"
fi
if [ ! -f "$pictures/灯台.jpg" ]; then
  # Portrait, as a phone takes it: stored turned left, with orientation 6 to turn it back.
  "$convert" -size 900x1200 gradient:'#87ceeb-#f0e68c' -fill '#fafafa' -draw 'rectangle 400,300 500,1000' \
    -fill '#c0392b' -draw 'polygon 380,300 520,300 450,180' -fill '#2c3e50' -draw 'rectangle 0,1000 900,1200' \
    -rotate -90 -quality 90 "$demo/灯台-stored.jpg"
  python3 "$root/tests/fixtures/pictures/exif.py" orient "$demo/灯台-stored.jpg" "$pictures/灯台.jpg" 6
  rm -f "$demo/灯台-stored.jpg"
fi

winpath() { winepath -w "$1" 2>/dev/null; }
plugins="$win32/tests/fixtures/plugins/vtp24"
"$root/tools/wine-run.sh" "$win32/tools/vorel_demo_setup.exe" "$(winpath "$pictures")" \
  "$(winpath "$demo")\\WallPaper.bmp" "$(winpath "$plugins")" "$(winpath "$demo/海.bmp")" \
  "$(winpath "$pictures/壁紙")\\海.vtp"

# On the virtual desktop: a holder keeps the desktop open, Vorelrun runs and ends, and the
# desktop it leaves behind is photographed.
shoot() {
  wine explorer /desktop=Vorel,1024x768 "$win32/tools/vorel_demo_setup.exe" --hold 60 >/dev/null 2>&1 &
  sleep 2
  wine explorer /desktop=Vorel,1024x768 "$win32/Vorelrun.exe" >/dev/null 2>&1
  for _ in $(seq 1 100); do
    pgrep -f 'Vorelrun.exe' >/dev/null || break
    sleep 0.1
  done
  sleep 1
  import -window root "$demo/screenshot.png"
  # Then Vorelset, resident on the same desktop, with its tray menu open.
  wine explorer /desktop=Vorel,1024x768 "$win32/Vorelset.exe" >/dev/null 2>&1 &
  sleep 2
  wine explorer /desktop=Vorel,1024x768 "$win32/tools/vorel_demo_setup.exe" --tray-menu >/dev/null 2>&1
  sleep 2
  import -window root "$demo/vorelset-menu.png"
  wine explorer /desktop=Vorel,1024x768 "$win32/tools/vorel_demo_setup.exe" --close-vorelset >/dev/null 2>&1 || true
  for _ in $(seq 1 100); do
    pgrep -f 'Vorelset.exe' >/dev/null || break
    sleep 0.1
  done
}
export -f shoot
export win32 demo
"$root/tools/with-display.sh" bash -c shoot

"$convert" "$demo/WallPaper.bmp" "$demo/wallpaper.png"
# reg prints in the console's code page (932 in this prefix); the terminal wants UTF-8.
chosen="$(wine reg query 'HKCU\Software\Brelkin\Vorel' /v OldFile 2>/dev/null | tr -d '\r' | iconv -f CP932 -t UTF-8 |
  sed -n 's/.*REG_SZ *//p')"
echo "demo: picture shown: ${chosen:-?}"
echo "demo: desktop screenshot (picture with calendar): $demo/screenshot.png"
echo "demo: Vorelset resident with its tray menu open: $demo/vorelset-menu.png"
echo "demo: wallpaper file left for the next log-on (calendar-free): $demo/WallPaper.bmp ($demo/wallpaper.png)"
echo "demo: to give Vorel to a Windows user, \`make dist\` builds the installer build/dist/VorelSetup-<version>.exe"
