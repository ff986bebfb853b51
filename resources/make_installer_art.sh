#!/usr/bin/env bash
# Draws the installer's welcome and finish page picture (164 x 314, 24-bit BMP): the dawn
# landscape of the programs' title, upright, with the name in the sky.
# Usage: make_installer_art.sh OUT.bmp
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: $0 OUT.bmp" >&2
  exit 2
fi
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=art_common.sh
source "$here/art_common.sh"
W=164
H=314
far="M 0,228 C 30,218 60,206 92,210 C 120,214 140,200 164,196 L 164,314 L 0,314 Z"
mid="M 0,252 C 40,242 80,246 110,252 C 135,257 150,248 164,246 L 164,314 L 0,314 Z"
near="M 0,278 C 50,268 100,270 164,276 L 164,314 L 0,314 Z"
hill() { # top bottom outline
  args+=('(' -size ${W}x${H} "gradient:$1-$2" '(' -size ${W}x${H} xc:black -fill white -draw "path '$3'" -blur 0x0.6 ')'
         -alpha off -compose CopyOpacity -composite ')' -compose over -composite)
}
args=('(' -size ${W}x200 "gradient:${c_sky}-${c_dawn}" ')' '(' -size ${W}x114 'gradient:#f2ddc6-#f5cfae' ')' -append
      '(' -size 200x200 'radial-gradient:rgba(255,222,178,0.85)-rgba(255,222,178,0)' ')' -geometry +12+96
      -compose over -composite -fill "$c_sun" -draw 'circle 112,196 112,208')
hill '#b4c0d2' '#c9cdd6' "$far"
hill '#8fa9ab' '#a7b8b4' "$mid"
hill '#688a80' '#4f6f66' "$near"
args+=(-font "$serif" -pointsize 44 -fill "$c_navy" -gravity North -annotate +0+28 'Vorel'
       -font "$mincho" -pointsize 12 -kerning 3 -fill '#34506e' -annotate +0+84 '壁紙チェンジャー'
       -gravity none)
"${magick[@]}" "${args[@]}" -alpha off -type TrueColor "BMP3:$1"
