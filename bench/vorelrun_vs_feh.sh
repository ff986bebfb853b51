#!/usr/bin/env bash
# One Vorelrun run beside `feh --bg-fill`, on the same 1920x1080 Xvfb screen and the same
# 6000x4000 24-bit bitmap: wall time from process start to exit and peak memory (GNU time),
# median of five runs after a warm-up, the wineserver already running. Vorelrun's settings:
# "DelayTime" 0, the calendar on, prepared mode off, the one picture in its folder. Then the
# composition step by step (compose_wine). Figures only; it never fails a build.
# Build folder VOREL_BENCH_WIN32 (default build/bench-win32); Wine prefix VOREL_WINEPREFIX
# (default build/bench-wineprefix).
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
win32="${VOREL_BENCH_WIN32:-$root/build/bench-win32}"
export VOREL_WINEPREFIX="${VOREL_WINEPREFIX:-$root/build/bench-wineprefix}"
export VOREL_SCREEN=1920x1080x24

if [ ! -f "$win32/Makefile" ]; then
  cmake -S "$root" -B "$win32" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DVOREL_BENCH=ON >/dev/null || exit 0
fi
cmake --build "$win32" -j2 --target Vorelrun vorel_demo_setup compose_wine >/dev/null || exit 0

work="$(mktemp -d /tmp/vorel-bench-run.XXXXXX)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/pictures"
convert -size 6000x4000 gradient:'#203a60-#e0a040' -swirl 200 -type TrueColor BMP3:"$work/pictures/big.bmp"
echo "picture: $(identify -format '%wx%h, %[bit-depth]-bit per channel' "$work/pictures/big.bmp"), $(( $(stat -c %s "$work/pictures/big.bmp") / 1048576 )) MB"

source "$root/tools/wine-env.sh"
"$root/tools/wine-prefix.sh" >/dev/null || exit 0

inner() {
  wineserver -p
  local pictures wall
  pictures="$(winepath -w "$work/pictures" 2>/dev/null)"
  wall="$(winepath -w "$work" 2>/dev/null)\\WallPaper.bmp"
  wine "$win32/tools/vorel_demo_setup.exe" "$pictures" "$wall"
  wine "$win32/Vorelrun.exe"  # warm-up
  feh --bg-fill "$work/pictures/big.bmp"
  local vorel=() feh=()
  for _ in 1 2 3 4 5; do
    vorel+=("$( { /usr/bin/time -f '%e %M' wine "$win32/Vorelrun.exe" >/dev/null 2>/dev/null; } 2>&1 | tail -1)")
    feh+=("$( { /usr/bin/time -f '%e %M' feh --bg-fill "$work/pictures/big.bmp" >/dev/null 2>/dev/null; } 2>&1 | tail -1)")
  done
  median() { printf '%s\n' "$@" | sort -n | sed -n 3p; }
  local vt vm ft fm
  vt="$(median "${vorel[@]%% *}")"; vm="$(median "${vorel[@]##* }")"
  ft="$(median "${feh[@]%% *}")"; fm="$(median "${feh[@]##* }")"
  echo "Vorelrun: ${vt} s, peak ${vm} KB (includes the title window's fixed 1 s timer)"
  echo "Vorelrun without the 1 s timer: $(echo "$vt - 1" | bc -l 2>/dev/null || python3 -c "print($vt-1)") s"
  echo "feh --bg-fill: ${ft} s, peak ${fm} KB"
  echo "decoded picture: $(( 6000 * 4000 * 4 / 1024 )) KB"
  wine "$win32/bench/compose_wine.exe" "$(winepath -w "$work/pictures/big.bmp" 2>/dev/null)" "$wall" 3
}
export -f inner
export win32 work
"$root/tools/with-display.sh" bash -c inner
