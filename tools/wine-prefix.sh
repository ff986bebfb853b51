#!/usr/bin/env bash
# Creates the project's Wine prefix under build/ on first use and reuses it afterwards.
# The prefix is 32-bit and maps the Japanese system font names onto the IPA fonts.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

stamp="$WINEPREFIX/.vorel-ready"
[ -f "$stamp" ] && exit 0

lock="$(dirname "$WINEPREFIX")/.wineprefix.lock"
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$lock"
flock 9
[ -f "$stamp" ] && exit 0

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
} | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1
wineserver -w
touch "$stamp"
echo "wine-prefix: ready"
