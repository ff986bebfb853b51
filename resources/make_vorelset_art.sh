#!/usr/bin/env bash
# Draws Vorelset's pictures with ImageMagick, in the look of art_common.sh:
#   vorelset_about.bmp          the about picture, 435 x 126: Vorelrun's dawn landscape with the
#                               program's name, version and maker
#   vorelset_logo.bmp           the settings window's logo, 88 x 32
#   vorelset_about_2x.bmp,      the same two drawn at twice the size, for screens above 100 %
#   vorelset_logo_2x.bmp
#   vorelset.ico                the program icon: the framed landscape with a calendar
#   vorelset_tray_running.ico   tray icon while changes run: the framed landscape in colour
#   vorelset_tray_paused.ico    tray icon while paused: the landscape in grey with an orange pause
#                               disc, so the state shows on light and dark task bars
#   glyph_*.ico                 pictures of the settings window: the help and set-up buttons,
#                               the three headings of the page "張り替えかた", the five page tabs and
#                               the labels of folders, files, the viewer and the plug-ins
# The icons have every side of icon_sides, the glyphs those of glyph_sides (art_common.sh).
# Usage: make_vorelset_art.sh OUTDIR VERSION
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: $0 OUTDIR VERSION" >&2
  exit 2
fi
out=$1
version=$2
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=art_common.sh
source "$here/art_common.sh"
mkdir -p "$out"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# --- About picture: the title landscape, then the program's own line under the name, at the
# design size and at twice it. Vorelrun's icon is drawn too but not used here.
bash "$here/make_vorelrun_art.sh" "$tmp/title.bmp" "$tmp/unused.ico" "$tmp/title_2x.bmp"
line="Vorelset  version $version    © Brelkin"
about() { # scale title.bmp out.bmp
  local k=$1
  "${magick[@]}" "$2" \
    '(' -size $((435 * k))x$((126 * k)) xc:none -font "$serif" -pointsize $((13 * k)) -fill white \
        -gravity NorthWest -annotate +$((33 * k))+$((88 * k)) "$line" -blur 0x$((2 * k)) \
        -channel A -evaluate multiply 0.8 +channel ')' \
    -compose over -composite \
    -font "$serif" -pointsize $((13 * k)) -fill "$c_navy" -gravity NorthWest \
    -annotate +$((33 * k))+$((88 * k)) "$line" \
    -alpha off -type TrueColor "BMP3:$3"
}
about 1 "$tmp/title.bmp" "$out/vorelset_about.bmp"
about 2 "$tmp/title_2x.bmp" "$out/vorelset_about_2x.bmp"

# --- Program icon and tray icons, at every side.
app=() run=() pause=()
for s in "${icon_sides[@]}"; do
  framed_icon "$s" "$tmp/app$s.png" 0 calendar
  framed_icon "$s" "$tmp/run$s.png" 0 none
  framed_icon "$s" "$tmp/pause$s.png" 1 pause
  app+=("$tmp/app$s.png") run+=("$tmp/run$s.png") pause+=("$tmp/pause$s.png")
done
"${magick[@]}" "${app[@]}" "ICO:$out/vorelset.ico"
"${magick[@]}" "${run[@]}" "ICO:$out/vorelset_tray_running.ico"
"${magick[@]}" "${pause[@]}" "ICO:$out/vorelset_tray_paused.ico"

# --- Logo: the framed landscape of a 32-pixel icon beside the name, on the frame's light mat,
# at the design size and at twice it (with the 64-pixel icon: each size draws its own frame).
logo() { # scale out.bmp
  local k=$1 i
  local -a frame=()
  for ((i = 0; i < k; i++)); do
    frame+=(-draw "rectangle $i,$i $((88 * k - 1 - i)),$((32 * k - 1 - i))")
  done
  "${magick[@]}" -size $((88 * k))x$((32 * k)) "xc:$c_mat" "$tmp/run$((32 * k)).png" -geometry +$((1 * k))+0 \
    -compose over -composite \
    -font "$serif" -pointsize $((21 * k)) -fill "$c_navy" -gravity West -annotate +$((35 * k))+0 'Vorel' \
    -gravity none -fill none -stroke "$c_frame" "${frame[@]}" \
    -alpha off -type TrueColor "BMP3:$2"
}
logo 1 "$out/vorelset_logo.bmp"
logo 2 "$out/vorelset_logo_2x.bmp"

# --- Glyphs. Each is drawing commands on a 16-unit grid, rendered at every glyph side (the same
# commands scaled), so the sizes of one picture always agree.
glyph() { # name mvg
  local s
  local -a frames=()
  for s in "${glyph_sides[@]}"; do
    local zoom
    zoom=$(awk -v s="$s" 'BEGIN { print s / 16 }')
    "${magick[@]}" -size "${s}x${s}" xc:none -strokewidth 1 \
      -draw "scale $zoom,$zoom $2" "PNG32:$tmp/$1_$s.png"
    frames+=("$tmp/$1_$s.png")
  done
  "${magick[@]}" "${frames[@]}" "ICO:$out/glyph_$1.ico"
}
navy="stroke '$c_navy'"
# A small framed landscape, the motif of every picture.
mini_scene="stroke '$c_frame' fill '$c_mat' rectangle 1.5,3.5 14.5,13.5
  stroke none fill '$c_sky' rectangle 3,5 13,9 fill '$c_dawn' rectangle 3,9 13,10
  fill '$c_sun' circle 10,8 10,9.4 fill '$c_hill' path 'M 3,12 C 6,9.5 10,10 13,10.5 L 13,12 Z'"

# Help: a question mark on a blue disc.
glyph help "$navy fill '$c_sky' circle 8,8 8,1.5
  stroke none fill white font '$sans_bold' font-size 12 text 4.6,12.6 '?'"
# Set-up: three sliders.
glyph setup "stroke '$c_frame' stroke-width 1.4 line 2,4 14,4 line 2,8 14,8 line 2,12 14,12
  $navy stroke-width 1 fill '$c_accent' rectangle 9.5,2.5 11.5,5.5 rectangle 4.5,6.5 6.5,9.5 rectangle 10.5,10.5 12.5,13.5"
# Headings of "張り替えかた": common to both programs, the resident one, the log-on one.
glyph head_common "$mini_scene stroke '$c_navy' fill '$c_accent' circle 12.5,12.5 12.5,10"
glyph head_resident "$mini_scene $navy fill white rectangle 8.5,8.5 15.5,15.5 stroke none fill '$c_cal' rectangle 9,9 15,11"
glyph head_oneshot "$mini_scene $navy fill '$c_accent' polygon 12.5,7 15.5,10.5 13.5,10.5 13.5,15.5 11.5,15.5 11.5,10.5 9.5,10.5"
# Page tabs.
glyph page_wallpaper "$mini_scene"
glyph page_change "stroke '$c_frame' stroke-width 1.6 fill none path 'M 3,8 A 5,5 0 0,1 12,5'
  path 'M 13,8 A 5,5 0 0,1 4,11' stroke none fill '$c_accent' polygon 10,2.5 14.5,4.5 11,7.5
  polygon 6,13.5 1.5,11.5 5,8.5"
glyph page_calendar "$navy fill white rectangle 2.5,2.5 13.5,13.5 stroke none fill '$c_cal' rectangle 3,3 13,5.5
  fill '$c_navy' rectangle 4,7 5,8 rectangle 7,7 8,8 rectangle 10,7 11,8 rectangle 4,10 5,11 rectangle 7,10 8,11
  fill '$c_accent' rectangle 10,10 11,11"
glyph page_link "stroke '$c_frame' stroke-width 1.6 fill none roundrectangle 1.5,5.5 9.5,10.5 2.5,2.5
  stroke '$c_accent' roundrectangle 6.5,5.5 14.5,10.5 2.5,2.5"
glyph page_env "$navy fill '$c_sky' rectangle 1.5,2.5 14.5,11.5 fill '$c_dawn' rectangle 3.5,4.5 12.5,9.5
  stroke none fill '$c_hill' path 'M 4,9 C 6,7 9,7.5 12,8 L 12,9 Z' $navy fill '$c_frame' rectangle 5.5,12.5 10.5,14.5"
# Labels of the lists and the outside programs.
glyph folder "$navy fill '#e8b04a' path 'M 1.5,4.5 L 6,4.5 L 7.5,6 L 14.5,6 L 14.5,13.5 L 1.5,13.5 Z'
  stroke none fill '#f4cc72' rectangle 2,7 14,13"
glyph file "$navy fill white path 'M 3.5,1.5 L 10,1.5 L 12.5,4 L 12.5,14.5 L 3.5,14.5 Z'
  stroke none fill '$c_sky' rectangle 5,6 11,9 fill '$c_hill' rectangle 5,9 11,11"
glyph viewer "$navy fill '$c_sky' circle 6.5,6.5 6.5,2 stroke '$c_navy' stroke-width 2 line 10,10 14,14"
# The pictures never used again: a picture under a prohibition sign.
glyph excluded "$mini_scene stroke '#c0302a' stroke-width 1.8 fill none circle 11,11 11,6.8 line 8,14 14,8"
# The page "キー操作": a key top.
glyph page_keys "$navy fill white roundrectangle 1.5,2.5 14.5,13.5 2.5,2.5 fill '$c_sky' roundrectangle 4.5,4.5 11.5,10.5 1,1
  stroke none fill '$c_navy' rectangle 6,7 10,8"
glyph plugin "$navy fill '$c_accent' rectangle 3.5,5.5 12.5,11.5 fill '$c_frame' rectangle 5.5,1.5 6.5,5.5
  rectangle 9.5,1.5 10.5,5.5 stroke '$c_frame' stroke-width 1.5 line 8,11.5 8,15"
