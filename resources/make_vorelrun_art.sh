#!/usr/bin/env bash
# Draws Vorelrun's title picture (435 x 126, 24-bit BMP) and its icon (16 to 256 pixels) with
# ImageMagick primitives, so that the repository holds the art as source rather than as binaries.
# The title is drawn a second time at twice the size (870 x 252) from the same commands, for
# screens above 100 %: the window shrinks that drawing to its size instead of enlarging the small
# one, so the name stays sharp.
# The output is byte-for-byte the same on every run with the same ImageMagick and fonts.
# Usage: make_vorelrun_art.sh TITLE.bmp ICON.ico [TITLE_2X.bmp]
set -euo pipefail

if [ $# -lt 2 ] || [ $# -gt 3 ]; then
  echo "usage: $0 TITLE.bmp ICON.ico [TITLE_2X.bmp]" >&2
  exit 2
fi
title_out=$1
icon_out=$2
title_2x_out=${3:-}

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=art_common.sh
source "$here/art_common.sh"

# --- Title picture: a calm dawn over layered hills, with the name in the open sky on the left.
# draw_title SCALE OUT.bmp: every size, place and blur of the 435 x 126 design times SCALE.
draw_title() {
  local k=$1 out=$2
  local W=$((435 * k)) H=$((126 * k))
  local far_hills="M 0,92 C 50,88 95,80 140,82 C 185,84 215,66 255,60 C 290,55 305,70 335,72 C 370,74 400,62 435,60 L 435,126 L 0,126 Z"
  local mid_hills="M 0,100 C 60,94 120,96 180,101 C 240,106 290,90 345,91 C 390,92 415,98 435,97 L 435,126 L 0,126 Z"
  local near_hill="M 0,114 C 70,105 150,106 225,112 C 300,118 365,106 435,108 L 435,126 L 0,126 Z"
  # The outlines are design coordinates; at a larger scale the drawing scales them.
  local zoom=""
  [ "$k" = 1 ] || zoom="scale $k,$k "
  local -a title=()
  # A hill is a vertical gradient cut out by its outline; the softened edge reads as distance.
  hill() { # top-colour bottom-colour outline edge-blur
    title+=('(' -size ${W}x${H} "gradient:$1-$2"
            '(' -size ${W}x${H} xc:black -fill white -draw "${zoom}path '$3'" -blur "0x$(blur "$4")" ')'
            -alpha off -compose CopyOpacity -composite ')' -compose over -composite)
  }
  blur() { awk -v r="$1" -v k="$k" 'BEGIN { print r * k }'; }

  # Sky: cool blue overhead warming towards the horizon.
  title+=('(' -size ${W}x$((84 * k)) 'gradient:#7aa0ca-#f2ddc6' ')' '(' -size ${W}x$((42 * k)) 'gradient:#f2ddc6-#f5cfae' ')' -append)
  # Warm glow around the rising sun, then the sun itself.
  title+=('(' -size $((240 * k))x$((240 * k)) 'radial-gradient:rgba(255,222,178,0.85)-rgba(255,222,178,0)' ')'
          -geometry +$((186 * k))-$((62 * k)) -compose over -composite)
  title+=(-fill '#fff7e8' -draw "${zoom}circle 306,58 306,67")
  # A few thin clouds.
  title+=('(' -size ${W}x${H} xc:none -fill 'rgba(255,255,255,0.55)'
          -draw "${zoom}ellipse 175,22 50,5 0,360" -draw "${zoom}ellipse 205,17 30,5 0,360"
          -draw "${zoom}ellipse 392,30 40,4 0,360" -blur 0x$((4 * k)) ')' -compose over -composite)
  hill '#b4c0d2' '#c9cdd6' "$far_hills" 0.7
  # Morning mist in the valley behind the middle hills.
  title+=('(' -size ${W}x${H} xc:none -fill 'rgba(255,250,240,0.35)' -draw "${zoom}rectangle 0,92 435,104"
          -blur 0x$((5 * k)) ')' -compose over -composite)
  hill '#8fa9ab' '#a7b8b4' "$mid_hills" 0.5
  hill '#688a80' '#4f6f66' "$near_hill" 0.5
  # The name, lifted off the sky by a faint light halo, and the line under it.
  title+=('(' -size ${W}x${H} xc:none -font "$serif" -pointsize $((56 * k)) -kerning "$k" -fill white
          -gravity NorthWest -annotate +$((28 * k))+$((8 * k)) 'Vorel' -blur 0x$((4 * k))
          -channel A -evaluate multiply 0.55 +channel ')' -compose over -composite)
  title+=(-font "$serif" -pointsize $((56 * k)) -kerning "$k" -fill '#20344e' -gravity NorthWest
          -annotate +$((28 * k))+$((8 * k)) 'Vorel')
  title+=(-font "$mincho" -pointsize $((12 * k)) -kerning $((3 * k)) -fill '#34506e'
          -annotate +$((33 * k))+$((70 * k)) '壁紙チェンジャー')
  # The window has no border of its own: the picture brings a thin frame, one design pixel of
  # navy and one of light, each SCALE pixels wide.
  title+=(-gravity none -fill none -strokewidth 1)
  local i
  for ((i = 0; i < k; i++)); do
    title+=(-stroke '#3b5068' -draw "rectangle $i,$i $((W - 1 - i)),$((H - 1 - i))")
  done
  for ((i = k; i < 2 * k; i++)); do
    title+=(-stroke 'rgba(255,255,255,0.35)' -draw "rectangle $i,$i $((W - 1 - i)),$((H - 1 - i))")
  done

  "${magick[@]}" "${title[@]}" -alpha off -type TrueColor "BMP3:$out"
}

draw_title 1 "$title_out"
[ -z "$title_2x_out" ] || draw_title 2 "$title_2x_out"

# --- Icon: the framed landscape with a rising arrow (the run at log-on), at every size Windows
# asks for between 100 % and 300 % and Explorer's 256; art_common.sh draws the scene large and
# adds the frame at each final size.
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
frames=()
for s in "${icon_sides[@]}"; do
  framed_icon "$s" "$tmp/i$s.png" 0 sunrise
  frames+=("$tmp/i$s.png")
done
"${magick[@]}" "${frames[@]}" "ICO:$icon_out"
