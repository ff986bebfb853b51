#!/usr/bin/env bash
# Creates the project's Wine prefix under build/ on first use and reuses it afterwards.
# The prefix is 32-bit, maps the Japanese system font names onto the IPA fonts, and keeps
# its windows out of the X window manager's hands: a bare Xvfb has none, and a managed window
# would wait two seconds for one each time it is hidden.
# The stamp holds the prefix's version and architecture; a prefix made by an older version
# of this script, or for the other architecture, is made afresh so that it gets every value.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

version="3-$WINEARCH"
stamp="$WINEPREFIX/.vorel-ready"
ready() { [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ]; }
ready && exit 0

lock="$(dirname "$WINEPREFIX")/.wineprefix.lock"
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$lock"
flock 9
ready && exit 0

rm -rf "$WINEPREFIX"
echo "wine-prefix: creating $WINEPREFIX"
wineboot -i >/dev/null 2>&1 || true
wineserver -w

reg="$(mktemp --suffix=.reg)"
trap 'rm -f "$reg"' EXIT
# regedit wants UTF-16 with a BOM for the full-width names.
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
  printf '"ＭＳ Ｐゴシック"="IPAPGothic"\r\n'
  printf '"MS PGothic"="IPAPGothic"\r\n'
  printf '"ＭＳ Ｐ明朝"="IPAPMincho"\r\n'
  printf '"MS PMincho"="IPAPMincho"\r\n'
  printf '"ＭＳ ゴシック"="IPAGothic"\r\n'
  printf '"MS Gothic"="IPAGothic"\r\n'
  printf '"ＭＳ 明朝"="IPAMincho"\r\n'
  printf '"MS Mincho"="IPAMincho"\r\n'
  printf '\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n'
  printf '"Managed"="N"\r\n'
  printf '\r\n'
} | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1
wineserver -w
echo "$version" >"$stamp"
echo "wine-prefix: ready"
