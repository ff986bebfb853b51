#!/usr/bin/env bash
# make demo: a folder of pictures (one in a Japanese-named subfolder) is made, stored as the
# user's folder, and one change picks, loads and writes the next picture as the wallpaper
# file, which is then turned into build/demo/wallpaper.png to look at. Running it again
# continues the random cycle kept in the registry.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export VOREL_WINEPREFIX="${VOREL_WINEPREFIX:-$root/build/wineprefix}"
source "$root/tools/wine-env.sh"
"$root/tools/wine-prefix.sh"

demo="$root/build/demo"
pictures="$demo/pictures"
mkdir -p "$pictures/壁紙"
convert=/usr/bin/convert
if [ ! -f "$pictures/sunset.bmp" ]; then
  "$convert" -size 1024x768 gradient:'#ff8c1a-#3a1c71' BMP3:"$pictures/sunset.bmp"
  "$convert" -size 800x600 plasma:fractal -seed 7 BMP3:"$pictures/壁紙/plasma.bmp"
  "$convert" -size 640x480 pattern:checkerboard -fill '#2a6' -colorize 40 BMP3:"$pictures/checks.bmp"
  "$convert" -size 1024x768 radial-gradient:'#8fd3f4-#1d2b64' "$pictures/sky.jpg"
fi

exe="$root/build/win32/tools/vorel_demo.exe"
win_pictures="$(winepath -w "$pictures" 2>/dev/null)"
win_wall="$(winepath -w "$demo" 2>/dev/null)\\WallPaper.bmp"
"$root/tools/with-display.sh" wine "$exe" "$win_pictures" "$win_wall"

"$convert" "$demo/WallPaper.bmp" "$demo/wallpaper.png"
echo "demo: look at $demo/wallpaper.png"
