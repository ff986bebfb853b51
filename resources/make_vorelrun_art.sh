#!/usr/bin/env bash
# Draws Vorelrun's title picture (435 x 126, 24-bit BMP) and its icon (16, 32, 48, 256 pixels) with
# ImageMagick primitives, so that the repository holds the art as source rather than as binaries.
# The output is byte-for-byte the same on every run with the same ImageMagick and fonts.
# Usage: make_vorelrun_art.sh TITLE.bmp ICON.ico
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 TITLE.bmp ICON.ico" >&2
  exit 2
fi
title_out=$1
icon_out=$2

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=art_common.sh
source "$here/art_common.sh"

# --- Title picture: a calm dawn over layered hills, with the name in the open sky on the left.
W=435
H=126
far_hills="M 0,92 C 50,88 95,80 140,82 C 185,84 215,66 255,60 C 290,55 305,70 335,72 C 370,74 400,62 435,60 L 435,126 L 0,126 Z"
mid_hills="M 0,100 C 60,94 120,96 180,101 C 240,106 290,90 345,91 C 390,92 415,98 435,97 L 435,126 L 0,126 Z"
near_hill="M 0,114 C 70,105 150,106 225,112 C 300,118 365,106 435,108 L 435,126 L 0,126 Z"

title=()
# A hill is a vertical gradient cut out by its outline; the softened edge reads as distance.
hill() { # top-colour bottom-colour outline edge-blur
  title+=('(' -size ${W}x${H} "gradient:$1-$2"
          '(' -size ${W}x${H} xc:black -fill white -draw "path '$3'" -blur "0x$4" ')'
          -alpha off -compose CopyOpacity -composite ')' -compose over -composite)
}

# Sky: cool blue overhead warming towards the horizon.
title+=('(' -size ${W}x84 'gradient:#7aa0ca-#f2ddc6' ')' '(' -size ${W}x42 'gradient:#f2ddc6-#f5cfae' ')' -append)
# Warm glow around the rising sun, then the sun itself.
title+=('(' -size 240x240 'radial-gradient:rgba(255,222,178,0.85)-rgba(255,222,178,0)' ')'
        -geometry +186-62 -compose over -composite)
title+=(-fill '#fff7e8' -draw 'circle 306,58 306,67')
# A few thin clouds.
title+=('(' -size ${W}x${H} xc:none -fill 'rgba(255,255,255,0.55)'
        -draw 'ellipse 175,22 50,5 0,360' -draw 'ellipse 205,17 30,5 0,360' -draw 'ellipse 392,30 40,4 0,360'
        -blur 0x4 ')' -compose over -composite)
hill '#b4c0d2' '#c9cdd6' "$far_hills" 0.7
# Morning mist in the valley behind the middle hills.
title+=('(' -size ${W}x${H} xc:none -fill 'rgba(255,250,240,0.35)' -draw 'rectangle 0,92 435,104' -blur 0x5 ')'
        -compose over -composite)
hill '#8fa9ab' '#a7b8b4' "$mid_hills" 0.5
hill '#688a80' '#4f6f66' "$near_hill" 0.5
# The name, lifted off the sky by a faint light halo, and the line under it.
title+=('(' -size ${W}x${H} xc:none -font "$serif" -pointsize 56 -kerning 1 -fill white -gravity NorthWest
        -annotate +28+8 'Vorel' -blur 0x4 -channel A -evaluate multiply 0.55 +channel ')' -compose over -composite)
title+=(-font "$serif" -pointsize 56 -kerning 1 -fill '#20344e' -gravity NorthWest -annotate +28+8 'Vorel')
title+=(-font "$mincho" -pointsize 12 -kerning 3 -fill '#34506e' -annotate +33+70 '壁紙チェンジャー')
# The window has no border of its own: the picture brings a thin frame.
title+=(-gravity none -fill none -stroke '#3b5068' -strokewidth 1 -draw "rectangle 0,0 $((W - 1)),$((H - 1))"
        -stroke 'rgba(255,255,255,0.35)' -draw "rectangle 1,1 $((W - 2)),$((H - 2))")

"${magick[@]}" "${title[@]}" -alpha off -type TrueColor "BMP3:$title_out"

# --- Icon: the framed landscape with a rising arrow (the run at log-on), 16, 32, 48 and 256
# pixels; art_common.sh draws the scene large and adds the frame at each final size.
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
for s in 16 32 48 256; do
  framed_icon "$s" "$tmp/i$s.png" 0 sunrise
done
"${magick[@]}" "$tmp/i16.png" "$tmp/i32.png" "$tmp/i48.png" "$tmp/i256.png" "ICO:$icon_out"
