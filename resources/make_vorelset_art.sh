#!/usr/bin/env bash
# Draws Vorelset's pictures with ImageMagick: the about picture (435 x 126, the same dawn
# landscape as Vorelrun's title), the program icon, the running and paused tray icons and the
# settings window's logo (88 x 32).
# Usage: make_vorelset_art.sh OUTDIR   (writes vorelset_about.bmp, vorelset.ico,
#        vorelset_tray_running.ico, vorelset_tray_paused.ico, vorelset_logo.bmp)
set -euo pipefail
out=$1
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
mkdir -p "$out"
magick=(convert -limit thread 1)

bash "$here/make_vorelrun_art.sh" "$out/vorelset_about.bmp" "$out/vorelset.ico"

# Tray icons: a small framed landscape; paused shows two bars over it.
tray() { # size out paused
  local s=$1 args=()
  args=(-size "${s}x${s}" xc:none -fill '#3b5068' -draw "roundrectangle 0,1 $((s - 1)),$((s - 2)) 2,2"
        -fill '#7aa0ca' -draw "rectangle 1,2 $((s - 2)),$((s * 2 / 3))"
        -fill '#5e8078' -draw "rectangle 1,$((s * 2 / 3)) $((s - 2)),$((s - 3))"
        -fill '#fff1d6' -draw "circle $((s * 2 / 3)),$((s / 3)) $((s * 2 / 3)),$((s / 3 + s / 8))")
  if [ "$3" = 1 ]; then
    args+=(-fill '#d23a2a' -draw "rectangle $((s / 4)),$((s / 4)) $((s * 5 / 12)),$((s * 3 / 4))"
           -draw "rectangle $((s * 7 / 12)),$((s / 4)) $((s * 3 / 4)),$((s * 3 / 4))")
  fi
  "${magick[@]}" "${args[@]}" "PNG32:$2"
}
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
for p in 0 1; do
  tray 16 "$tmp/t16_$p.png" $p
  tray 32 "$tmp/t32_$p.png" $p
done
"${magick[@]}" "$tmp/t16_0.png" "$tmp/t32_0.png" "ICO:$out/vorelset_tray_running.ico"
"${magick[@]}" "$tmp/t16_1.png" "$tmp/t32_1.png" "ICO:$out/vorelset_tray_paused.ico"

serif=/usr/share/fonts/opentype/urw-base35/P052-Roman.otf
"${magick[@]}" -size 88x32 'gradient:#7aa0ca-#f2ddc6' -font "$serif" -pointsize 24 -fill '#20344e' \
  -gravity center -annotate +0+0 'Vorel' -fill none -stroke '#3b5068' -draw 'rectangle 0,0 87,31' \
  -alpha off -type TrueColor "BMP3:$out/vorelset_logo.bmp"
