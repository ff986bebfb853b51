#!/usr/bin/env bash
# One Vorelrun run beside `feh --bg-fill`, on the same 1920x1080 Xvfb screen and the same
# 6000x4000 picture, a 24-bit bitmap and then a JPEG of quality 90: wall time from process
# start to exit and peak memory (GNU time),
# median of five runs after a warm-up, the wineserver already running; beside them the floor
# of any GUI program under Wine (one window shown and destroyed). Vorelrun's settings:
# "DelayTime" 0, the calendar on, prepared mode off, the one picture in its folder. Then the
# composition step by step (compose_wine). Figures only; it never fails a build.
# Build folder VOREL_BENCH_WIN32 (default build/bench-win32, or build/bench-win64 where
# the machine runs no 32-bit code); Wine prefix VOREL_WINEPREFIX
# (default build/bench-wineprefix-<arch>). With VOREL_BENCH_ROWS set, every figure is also appended
# there as a tab-separated row: figure, value, peer, peer value, command.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
arch="$(bash "$root/tools/wine-arch.sh")"
win32="${VOREL_BENCH_WIN32:-$root/build/bench-$arch}"
export VOREL_WINEPREFIX="${VOREL_WINEPREFIX:-$root/build/bench-wineprefix-$arch}"
export VOREL_SCREEN=1920x1080x24
export VOREL_BENCH_ROWS="${VOREL_BENCH_ROWS:-/dev/null}"

if [ ! -f "$win32/Makefile" ]; then
  cmake -S "$root" -B "$win32" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$(bash "$root/tools/wine-arch.sh" --toolchain)" \
    -DVOREL_BENCH=ON >/dev/null || exit 0
fi
cmake --build "$win32" -j2 --target Vorelrun vorel_demo_setup compose_wine trivial_window_wine >/dev/null || exit 0

work="$(mktemp -d /tmp/vorel-bench-run.XXXXXX)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/pictures" "$work/jpeg"
convert -size 6000x4000 gradient:'#203a60-#e0a040' -swirl 200 -type TrueColor BMP3:"$work/pictures/big.bmp"
convert "$work/pictures/big.bmp" -quality 90 "$work/jpeg/big.jpg"
echo "picture: $(identify -format '%wx%h, %[bit-depth]-bit per channel' "$work/pictures/big.bmp"), $(( $(stat -c %s "$work/pictures/big.bmp") / 1048576 )) MB"

source "$root/tools/wine-env.sh"
"$root/tools/wine-prefix.sh" >/dev/null || exit 0

inner() {
  wineserver -p
  local wall
  wall="$(winepath -w "$work" 2>/dev/null)\\WallPaper.bmp"
  # GNU time writes its figures to a file of its own: the program's output is thrown away.
  timed() { /usr/bin/time -o "$work/time" -f '%e %M' "$@" >/dev/null 2>&1; cat "$work/time"; }
  median() { printf '%s\n' "$@" | sort -g | sed -n 3p; }
  # measure FOLDER PICTURE LABEL: Vorelrun with the folder's one picture, feh with the picture.
  measure() {
    wine "$win32/tools/vorel_demo_setup.exe" "$(winepath -w "$work/$1" 2>/dev/null)" "$wall" >/dev/null 2>&1
    wine "$win32/Vorelrun.exe" >/dev/null 2>&1  # warm-up
    wine "$win32/bench/trivial_window_wine.exe" >/dev/null 2>&1
    feh --bg-fill "$work/$1/$2" >/dev/null 2>&1
    local vorel=() feh=() floor=()
    for _ in 1 2 3 4 5; do
      vorel+=("$(timed wine "$win32/Vorelrun.exe")")
      feh+=("$(timed feh --bg-fill "$work/$1/$2")")
      floor+=("$(timed wine "$win32/bench/trivial_window_wine.exe")")
    done
    local vt vm ft fm gt gm
    vt="$(median "${vorel[@]%% *}")"; vm="$(median "${vorel[@]##* }")"
    ft="$(median "${feh[@]%% *}")"; fm="$(median "${feh[@]##* }")"
    gt="$(median "${floor[@]%% *}")"; gm="$(median "${floor[@]##* }")"
    echo "$3: Vorelrun: ${vt} s, peak ${vm} KB (includes the title window's fixed 1 s timer)"
    echo "$3: Vorelrun without the 1 s timer: $(python3 -c "print(round($vt - 1, 2))") s"
    echo "$3: feh --bg-fill: ${ft} s, peak ${fm} KB"
    echo "trivial GUI program under Wine (the floor): ${gt} s, peak ${gm} KB"
    echo "decoded picture: $(( 6000 * 4000 * 4 / 1024 )) KB"
    local run="median of 5: /usr/bin/time -f \"%e %M\" wine Vorelrun.exe / feh --bg-fill $2"
    printf 'Vorelrun run, %s, wall (s)\t%s\tfeh --bg-fill\t%s\t%s\n' "$3" "$vt" "$ft" "$run" >>"$VOREL_BENCH_ROWS"
    printf 'Vorelrun run less the 1 s timer, %s (s)\t%s\tfeh --bg-fill\t%s\t%s\n' "$3" \
      "$(python3 -c "print(round($vt - 1, 2))")" "$ft" "$run" >>"$VOREL_BENCH_ROWS"
    printf 'Vorelrun run, %s, peak (MB)\t%s\tdecoded 32-bit source\t%s\t%s\n' "$3" "$(( vm / 1024 ))" \
      "$(( 6000 * 4000 * 4 / 1048576 ))" "$run" >>"$VOREL_BENCH_ROWS"
    printf 'Vorelrun run, %s, peak (MB)\t%s\tan idle program with one window (GNU time)\t%s\t%s\n' "$3" \
      "$(( vm / 1024 ))" "$(( gm / 1024 ))" "$run" >>"$VOREL_BENCH_ROWS"
    printf 'feh --bg-fill, %s, peak (MB)\t%s\tdecoded 32-bit source\t%s\t%s\n' "$3" "$(( fm / 1024 ))" \
      "$(( 6000 * 4000 * 4 / 1048576 ))" "$run" >>"$VOREL_BENCH_ROWS"
    if [ "$1" = pictures ]; then
      printf 'Trivial GUI program under Wine, wall (s)\t%s\tfeh --bg-fill\t%s\t%s\n' "$gt" "$ft" \
        'median of 5: /usr/bin/time -f "%e %M" wine bench/trivial_window_wine.exe' >>"$VOREL_BENCH_ROWS"
    fi
  }
  measure pictures big.bmp "6000 × 4000 BMP"
  measure jpeg big.jpg "6000 × 4000 JPEG"
  wine "$win32/bench/compose_wine.exe" "$(winepath -w "$work/pictures/big.bmp" 2>/dev/null)" "$wall" 5 \
    | tr -d '\r' | tee "$work/compose"
  python3 - "$work/compose" >>"$VOREL_BENCH_ROWS" <<'PY'
import re, sys
ms = {}
peak = None
for line in open(sys.argv[1], encoding="utf-8", errors="replace"):
    m = re.match(r"\s+(.+?)\s+([0-9.]+)$", line)
    if m: ms[m.group(1)] = m.group(2)
    m = re.match(r"peak working set: ([0-9.]+) MB", line)
    if m: peak = m.group(1)
cmd = "wine bench/compose_wine.exe big.bmp WallPaper.bmp 5 (median of 5)"
plain = ms.get("plain write, same bytes", "")
peers = {"write wallpaper file": ("plain write, same bytes", plain),
         "read + decode in order": ("read file + decode", ""),
         "of which: temp file and swap": ("plain write, same bytes", plain)}
over = ms.get("plain write over the file", "")
if over:
    print(f"Composition under Wine: write wallpaper file (ms)\t{ms.get('write wallpaper file', '')}\t"
          f"plain write over the existing file\t{over}\t{cmd}")
floor = ms.get("floor: fresh buffer written once", "")
if floor:
    print(f"Composition under Wine: read + decode in order (ms)\t{ms.get('read + decode in order', '')}\t"
          f"floor: a fresh buffer of the decoded size written once\t{floor}\t{cmd}")
if "read file" in ms and "decode" in ms:
    peers["read + decode in order"] = ("read file + decode", f"{float(ms['read file']) + float(ms['decode']):.1f}")
for name in ["read file", "decode", "read + decode in order", "fit (shrink)", "calendar", "write wallpaper file",
             "of which: packing to 24 bits", "of which: temp file and swap", "desktop values",
             "tell the system", "whole composition"]:
    if name in ms:
        peer = peers.get(name, ("", ""))
        print(f"Composition under Wine: {name} (ms)\t{ms[name]}\t{peer[0]}\t{peer[1]}\t{cmd}")
if peak:
    print(f"Composition under Wine: peak working set (MB)\t{peak}\tdecoded 32-bit source\t{6000*4000*4/1048576:.0f}\t{cmd}")
PY
}
export -f inner
export win32 work
"$root/tools/with-display.sh" bash -c inner
