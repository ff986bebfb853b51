# Sourced by the art scripts: the one palette and the drawing pieces every Vorel picture is made
# of, so that the programs' icons, the tray icons, the button and heading pictures and the help
# pages share one look (a small framed dawn landscape, navy lines, a warm sun).
# Everything is ImageMagick primitives; nothing is taken from any other program.

serif=/usr/share/fonts/opentype/urw-base35/P052-Roman.otf
sans_bold=/usr/share/fonts/opentype/urw-base35/NimbusSans-Bold.otf
mincho=/usr/share/fonts/opentype/ipafont-mincho/ipamp.ttf
for font in "$serif" "$sans_bold" "$mincho"; do
  if [ ! -r "$font" ]; then
    echo "$0: missing font $font (tools/install-deps.sh installs it)" >&2
    exit 1
  fi
done

# One thread: blurs and composites then cannot differ in rounding between machines.
magick=(convert -limit thread 1)

# The sides of every program and tray icon: what Windows asks for between 100 % and 300 %
# (16-pixel small icons and 32-pixel large ones at 100 %, 125 %, 150 %, 175 %, 200 %, 300 %) and
# Explorer's largest view. The small pictures of the settings window are shown at 16 design
# pixels only, and have the sides of that at every scale.
icon_sides=(16 20 24 28 32 40 48 64 96 256)
glyph_sides=(16 20 24 28 32 40 48)

# Palette.
c_navy='#20344e'     # outlines and lettering
c_frame='#3b5068'    # picture frames
c_sky='#6f98c6'
c_dawn='#f2d8bc'
c_far='#a3b4ca'
c_hill='#5e8078'
c_sun='#fff7e8'
c_mat='#f6f1e6'      # the frame's light mat: keeps the icon readable on dark task bars
c_accent='#e07a2e'   # the pause badge and highlights
c_cal='#c8443a'      # the calendar page's header

# The landscape, drawn large (96 x 72) so that every size is a clean reduction of one scene.
# Args: greyscale(0|1). Appends to the array named by $scene_out.
scene_args() {
  local grey=$1
  local -a a=(-size 96x44 "gradient:${c_sky}-${c_dawn}" -size 96x28 "xc:${c_dawn}" -append
    -fill "$c_sun" -draw 'circle 64,36 64,46'
    -fill "$c_far" -draw "path 'M 0,52 C 20,44 40,40 60,46 C 75,50 85,42 96,40 L 96,72 L 0,72 Z'"
    -fill "$c_hill" -draw "path 'M 0,62 C 30,54 60,56 96,60 L 96,72 L 0,72 Z'")
  if [ "$grey" = 1 ]; then
    a+=(-colorspace Gray -level 10%,95% -colorspace sRGB)
  fi
  printf '%s\n' "${a[@]}"
}

# framed_icon SIZE OUT.png [grey] [badge]: the framed landscape centred on a transparent square.
# The frame is added at the final size so that its lines stay one pixel sharp: an outer navy
# line for light task bars and a light mat inside it for dark ones.
# badge: none | calendar | sunrise | pause
framed_icon() {
  local s=$1 out=$2 grey=${3:-0} badge=${4:-none}
  local mat=$((s >= 48 ? s / 16 : 1)) line=$((s >= 128 ? s / 64 : 1))
  local pw=$((s - 2 * mat - 2 * line)) ph=$(((s - 2 * mat - 2 * line) * 3 / 4))
  local -a scene
  mapfile -t scene < <(scene_args "$grey")
  local -a cmd=('(' "${scene[@]}" -filter Triangle -resize "${pw}x${ph}!"
    -bordercolor "$c_mat" -border "$mat" -bordercolor "$c_frame" -border "$line"
    -background none -gravity center -extent "${s}x${s}" ')')
  case $badge in
    calendar) # a small calendar page over the lower right corner: Vorelset
      local b=$((s * 7 / 16)) x=$((s - s * 7 / 16 - (s >= 32 ? s / 32 : 0))) y=$((s - s * 7 / 16))
      local hh=$((b / 3)) lw=$((s >= 128 ? s / 64 : 1))
      cmd+=(-gravity none -stroke "$c_navy" -strokewidth "$lw" -fill white
        -draw "rectangle $x,$y $((x + b - 1)),$((y + b - 1))"
        -fill "$c_cal" -draw "rectangle $x,$y $((x + b - 1)),$((y + hh))")
      if [ "$s" -ge 32 ]; then
        local step=$(((b - 2) / 4)) i j
        cmd+=(+stroke -fill "$c_navy")
        for j in 0 1; do
          for i in 0 1 2; do
            local dx=$((x + 2 + step / 2 + i * step)) dy=$((y + hh + 2 + step / 2 + j * step))
            cmd+=(-draw "rectangle $dx,$dy $((dx + step / 2)),$((dy + step / 2))")
          done
        done
      fi
      ;;
    sunrise) # an arrow rising out of the horizon: Vorelrun, the log-on run
      local cx=$((s * 3 / 4)) top=$((s / 2)) w=$((s / 4)) lw=$((s >= 128 ? s / 48 : 1))
      cmd+=(-gravity none -stroke "$c_navy" -strokewidth "$lw" -fill "$c_accent"
        -draw "polygon $cx,$top $((cx + w / 2 + 1)),$((top + w / 2 + 1)) $((cx + w / 5 + 1)),$((top + w / 2 + 1)) $((cx + w / 5 + 1)),$((s - 2)) $((cx - w / 5 - 1)),$((s - 2)) $((cx - w / 5 - 1)),$((top + w / 2 + 1)) $((cx - w / 2 - 1)),$((top + w / 2 + 1))")
      ;;
    pause) # two bold bars on an orange disc: obvious at 16 pixels on any task bar
      local r=$((s * 5 / 16)) cx=$((s - s * 5 / 16 - 1)) cy=$((s - s * 5 / 16 - 1))
      local bw=$((s >= 32 ? s / 10 : 1)) bh=$((r * 5 / 4)) gap=$((s >= 32 ? s / 16 : 1))
      cmd+=(-gravity none -stroke "$c_navy" -strokewidth 1 -fill "$c_accent"
        -draw "circle $cx,$cy $((cx + r)),$cy" +stroke -fill white
        -draw "rectangle $((cx - gap - bw)),$((cy - bh / 2)) $((cx - gap)),$((cy + bh / 2))"
        -draw "rectangle $((cx + gap)),$((cy - bh / 2)) $((cx + gap + bw)),$((cy + bh / 2))")
      ;;
  esac
  "${magick[@]}" "${cmd[@]}" +repage "PNG32:$out"
}
