#!/usr/bin/env bash
# Pictures of the product as a user meets it, under build/screens/:
#   tray_icons.png     the running and paused tray icons, 16 and 32 pixels, magnified 8 times,
#                      on a light and on a dark task bar
#   program_icons.png  Vorelset's and Vorelrun's icons at 16, 32, 48 and 256 pixels
#   about.png          Vorelset's about window under Wine (the tray menu's "ヴァージョン情報")
#   logo_glyphs.png    the settings window's logo and small pictures, magnified 4 times
#   help_index.png     Help\index.html rendered by headless Chromium
#   installer.png, installer_options.png, installer_finish.png
#                      the installer's first page, its options and its last page under Wine
#   balloon_no_pictures.png, balloon_running.png, balloon_slideshow.png
#                      Vorelset's first balloon at the task bar: no folder yet, and the Pictures
#                      folder the installer wrote; then the warning of Windows' slideshow
# Usage: product-screens.sh   (after `make dist`; `make screens` does both)
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
win32="$root/build/win32"
art="$win32/resources"
screens="$root/build/screens"
version="$(sed -n 's/^project(Vorel VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
setup="$root/build/dist/VorelSetup-$version.exe"
mkdir -p "$screens"
im=(convert -limit thread 1)
label_font=/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf
[ -r "$label_font" ] || label_font=/usr/share/fonts/truetype/fonts-japanese-gothic.ttf
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# --- Tray icons: each frame magnified without smoothing, on both kinds of task bar.
for bg in '#f3f3f3' '#1f1f1f'; do
  fg=$([ "$bg" = '#1f1f1f' ] && echo white || echo black)
  row=()
  for icon in running paused; do
    for frame in 0 1; do
      "${im[@]}" "$art/vorelset_tray_$icon.ico[$frame]" +repage -filter point -resize 800% +repage \
        -background "$bg" -gravity center -extent 272x272 "$tmp/$icon$frame.png"
      row+=("$tmp/$icon$frame.png")
    done
  done
  "${im[@]}" "${row[@]}" +append +repage -background "$bg" -flatten "$tmp/row_${bg#\#}.png"
  "${im[@]}" -size 1088x28 "xc:$bg" -font "$label_font" -pointsize 16 -fill "$fg" \
    -annotate +60+20 '動作中 16' -annotate +330+20 '動作中 32' -annotate +600+20 '一時停止 16' \
    -annotate +870+20 '一時停止 32' "$tmp/label_${bg#\#}.png"
done
"${im[@]}" "$tmp/label_f3f3f3.png" "$tmp/row_f3f3f3.png" "$tmp/label_1f1f1f.png" "$tmp/row_1f1f1f.png" \
  -append +repage "$screens/tray_icons.png"

# --- Program icons.
for program in vorelset vorelrun; do
  row=()
  for frame in 0 1 2 3; do
    "${im[@]}" "$art/$program.ico[$frame]" +repage -background '#dfe6ee' -gravity center -extent 264x264 \
      "$tmp/$program$frame.png"
    row+=("$tmp/$program$frame.png")
  done
  "${im[@]}" "${row[@]}" +append +repage -background '#dfe6ee' -flatten "$tmp/$program.png"
done
"${im[@]}" "$tmp/vorelset.png" "$tmp/vorelrun.png" -append +repage "$screens/program_icons.png"

# --- Logo and glyphs.
row=()
for g in help setup head_common head_resident head_oneshot page_wallpaper page_change page_calendar \
  page_link page_env folder file viewer plugin excluded page_keys; do
  "${im[@]}" "$art/glyph_$g.ico[1]" +repage -filter point -resize 200% +repage -background '#f0f0f0' \
    -gravity center -extent 72x72 "$tmp/g_$g.png"
  row+=("$tmp/g_$g.png")
done
"${im[@]}" "${row[@]}" +append +repage -background '#f0f0f0' -flatten "$tmp/glyphs.png"
"${im[@]}" "$art/vorelset_logo.bmp" -filter point -resize 400% -background '#f0f0f0' -gravity center \
  -extent 1008x140 "$tmp/logo.png"
"${im[@]}" "$tmp/logo.png" "$tmp/glyphs.png" -append +repage "$screens/logo_glyphs.png"

# --- Help index in headless Chromium, with a profile of its own that is thrown away.
profile="$tmp/chromium-profile"
mkdir -p "$profile"
timeout 90 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$profile" --window-size=1000,1100 --hide-scrollbars \
  --screenshot="$screens/help_index.png" "file://$win32/Help/index.html" >/dev/null 2>&1 ||
  echo "product-screens: chromium failed" >&2

# --- Under Wine, in a prefix of its own: the about window of the built Vorelset, the
# installer's pages and Vorelset's first balloons. A machine that runs no 32-bit code photographs
# the 64-bit build of the same installer and programs (build/win64).
export VOREL_WINEPREFIX="$root/build/screens-prefix"
# shellcheck source=wine-env.sh
source "$root/tools/wine-env.sh"
win="$VOREL_WIN_BUILD"
if [ "$VOREL_WINE_ARCH" = win64 ]; then
  setup="$win/installer/VorelSetup-test.exe"
  echo "product-screens: this machine runs no 32-bit code: the 64-bit build of the installer and programs" >&2
fi
for f in "$setup" "$win/tools/vorel_find_window.exe"; do
  [ -f "$f" ] || { echo "product-screens: missing $f" >&2; exit 1; }
done
bash "$root/tools/wine-prefix.sh" >/dev/null
shoot() {
  set -u
  local finder="$win/tools/vorel_find_window.exe" key='HKCU\Software\Brelkin\Vorel'
  # The about window: Vorelset runs on the screen itself (so that the finder shares its desktop)
  # and the tray form is sent the menu's about command.
  if [ -f "$win/Vorelset.exe" ]; then
    (cd "$win" && wine "$win/Vorelset.exe" >/dev/null 2>&1 &)
    if wine "$finder" TFormStart 15000 102 >/dev/null 2>&1; then
      sleep 2
      import -window root "$tmp_root/about_full.png" 2>/dev/null
    fi
    wineserver -k >/dev/null 2>&1
    sleep 1
  fi
  # The installer, page by page (IDOK is its "次へ", "同意する" and "インストール"): the welcome
  # page, the options, and the finish page after a real install into this prefix, whose
  # settings key it finds empty. On the screen itself, where the finder sees its window.
  wine reg delete "$key" /f >/dev/null 2>&1
  wine "$setup" >/dev/null 2>&1 &
  if wine "$finder" '#32770' 20000 >/dev/null 2>&1; then
    sleep 3
    import -window root "$tmp_root/installer_full.png" 2>/dev/null
    wine "$finder" '#32770' 0 1 >/dev/null 2>&1
    sleep 2
    wine "$finder" '#32770' 0 1 >/dev/null 2>&1
    sleep 2
    import -window root "$tmp_root/installer_options_full.png" 2>/dev/null
    wine "$finder" '#32770' 0 1 >/dev/null 2>&1
    sleep 2
    wine "$finder" '#32770' 0 1 >/dev/null 2>&1
    sleep 12
    import -window root "$tmp_root/installer_finish_full.png" 2>/dev/null
  fi
  wineserver -k >/dev/null 2>&1
  sleep 1
  # Vorelset's first start on a desktop of its own with a task bar: the balloon of a key with
  # no folder, then the one of the Pictures folder the installer wrote, holding a picture.
  local installed pictures
  installed="$(winepath -u "$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')")/Programs/Vorel"
  pictures="$(winepath -u "$(wine cmd /c 'echo %USERPROFILE%' 2>/dev/null | tr -d '\r')")/Pictures"
  if [ -f "$installed/Vorelset.exe" ]; then
    wine reg delete "$key" /f >/dev/null 2>&1
    (cd "$installed" && wine explorer /desktop=Vorel,1024x768 "$installed/Vorelset.exe" >/dev/null 2>&1 &)
    sleep 8
    import -window root "$tmp_root/balloon_no_pictures_full.png" 2>/dev/null
    wineserver -k >/dev/null 2>&1
    sleep 1
    convert -size 640x400 gradient:'#ff9a3c-#2b1055' -swirl 40 "BMP3:$pictures/夕焼け.bmp"
    wine reg delete "$key" /f >/dev/null 2>&1
    wine "$setup" /S >/dev/null 2>&1
    (cd "$installed" && wine explorer /desktop=Vorel,1024x768 "$installed/Vorelset.exe" >/dev/null 2>&1 &)
    sleep 8
    import -window root "$tmp_root/balloon_running_full.png" 2>/dev/null
    wineserver -k >/dev/null 2>&1
    sleep 1
    # Windows' slideshow on, the first run told: its warning.
    local wallpapers='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Wallpapers'
    wine reg add "$wallpapers" /v BackgroundType /t REG_DWORD /d 2 /f >/dev/null 2>&1
    (cd "$installed" && wine explorer /desktop=Vorel,1024x768 "$installed/Vorelset.exe" >/dev/null 2>&1 &)
    sleep 8
    import -window root "$tmp_root/balloon_slideshow_full.png" 2>/dev/null
    wine reg delete "$wallpapers" /v BackgroundType /f >/dev/null 2>&1
    wineserver -k >/dev/null 2>&1
  fi
}
export -f shoot
export win screens setup
export tmp_root="$tmp"
"$root/tools/with-display.sh" bash -c shoot
# The windows are centred on the 1024 x 768 screen: keep a margin around each. The balloons
# come up at the task bar's corner.
[ -s "$tmp/about_full.png" ] && "${im[@]}" "$tmp/about_full.png" -crop 495x186+264+291 +repage "$screens/about.png"
for page in installer installer_options installer_finish; do
  [ -s "$tmp/${page}_full.png" ] && "${im[@]}" "$tmp/${page}_full.png" -crop 640x500+192+134 +repage \
    "$screens/$page.png"
done
for balloon in balloon_no_pictures balloon_running balloon_slideshow; do
  [ -s "$tmp/${balloon}_full.png" ] && "${im[@]}" "$tmp/${balloon}_full.png" -crop 624x240+400+528 +repage \
    "$screens/$balloon.png"
done
# Without a Vorelset to photograph, the about picture itself stands in.
[ -s "$screens/about.png" ] || "${im[@]}" "$art/vorelset_about.bmp" "$screens/about.png"
ls -1 "$screens"
