#!/usr/bin/env bash
# Builds the installer from a Windows build tree that already holds the programs and Help\.
# With amd64 the installer is a 64-bit program (of a 64-bit tree's programs), for the tests on
# machines that run no 32-bit code; the installer that ships is the 32-bit one.
# Usage: make_dist.sh BUILD_DIR OUTFILE VERSION ICON [amd64]
set -euo pipefail
if [ $# -lt 4 ] || [ $# -gt 5 ] || { [ $# -eq 5 ] && [ "$5" != amd64 ]; }; then
  echo "usage: $0 BUILD_DIR OUTFILE VERSION ICON [amd64]" >&2
  exit 2
fi
build=$1 outfile=$2 version=$3 icon=$4
target=()
[ $# -eq 5 ] && target=(-DAMD64)
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
for f in "$build/Vorelrun.exe" "$build/Help/index.html"; do
  [ -f "$f" ] || { echo "$0: missing $f" >&2; exit 1; }
done
[ -f "$build/Vorelset.exe" ] || echo "$0: note: no Vorelset.exe yet; the installer holds Vorelrun and the help only" >&2
mkdir -p "$(dirname "$outfile")"
# The licence page and readme.txt: UTF-16 with a byte-order mark and CRLF, which both the
# installer's page and Notepad read on every Windows version.
# Made in a folder of this run's own: the shipped and the test installer of one tree may be made
# side by side.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
readme="$work/readme.txt"
{ printf '\xff\xfe'; sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$here/readme.txt" | iconv -f UTF-8 -t UTF-16LE; } >"$readme"
welcome="$work/welcome.bmp"
bash "$here/../resources/make_installer_art.sh" "$welcome"
makensis -V2 -INPUTCHARSET UTF8 "${target[@]}" -DVERSION="$version" -DBUILD="$build" -DREADME="$readme" -DICON="$icon" \
  -DWELCOME="$welcome" \
  -DOUTFILE="$outfile" "$here/vorel.nsi"
echo "make_dist: $outfile"
