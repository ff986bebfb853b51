#!/usr/bin/env bash
# One change run inside a running Vorelset beside `feh --bg-fill`, on the same 1920x1080
# Xvfb screen and the same picture, the calendar on: a 6000x4000 24-bit bitmap, the same size
# as a JPEG of quality 90 and a 4000x3000 PNG, with the peak working set of each; then
# Vorelset's working set, handles and GDI/USER objects after start and after many changes of a
# smaller picture.
# Build folder VOREL_BENCH_WIN32 (default build/bench-win32, or build/bench-win64 where
# the machine runs no 32-bit code); Wine prefix VOREL_WINEPREFIX
# (default build/bench-wineprefix-<arch>). Figures only; it never fails a build.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
arch="$(bash "$root/tools/wine-arch.sh")"
win32="${VOREL_BENCH_WIN32:-$root/build/bench-$arch}"
export VOREL_WINEPREFIX="${VOREL_WINEPREFIX:-$root/build/bench-wineprefix-$arch}"
export VOREL_SCREEN=1920x1080x24
changes="${VOREL_BENCH_CHANGES:-1000}"

if [ ! -f "$win32/Makefile" ]; then
  cmake -S "$root" -B "$win32" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$(bash "$root/tools/wine-arch.sh" --toolchain)" \
    -DVOREL_BENCH=ON >/dev/null || exit 0
fi
cmake --build "$win32" -j2 --target Vorelset vorelset_wine >/dev/null || exit 0

work="$(mktemp -d /tmp/vorel-bench-set.XXXXXX)"
trap 'rm -rf "$work"' EXIT
convert -size 6000x4000 gradient:'#203a60-#e0a040' -swirl 200 -type TrueColor BMP3:"$work/big.bmp"
convert "$work/big.bmp" -quality 90 "$work/big.jpg"
convert -size 4000x3000 plasma:'#203a60-#e0a040' -blur 0x2 "$work/big.png"
convert -size 1600x1200 gradient:'#60203a-#40a0e0' -swirl 90 -type TrueColor BMP3:"$work/small.bmp"

source "$root/tools/wine-env.sh"
"$root/tools/wine-prefix.sh" >/dev/null || exit 0

inner() {
  wineserver -p
  w() { winepath -w "$1" 2>/dev/null; }
  local picture
  for picture in big.bmp big.jpg big.png; do
    feh --bg-fill "$work/$picture"  # warm-up
    local feh=()
    for _ in 1 2 3 4 5; do
      /usr/bin/time -f '%e %M' -o "$work/feh.time" feh --bg-fill "$work/$picture" >/dev/null 2>&1
      feh+=("$(tail -1 "$work/feh.time")")
    done
    echo "feh --bg-fill, $picture: median $(printf '%s\n' "${feh[@]%% *}" | sort -n | sed -n 3p) s, peak" \
      "$(printf '%s\n' "${feh[@]##* }" | sort -n | sed -n 3p) KB (5 runs)"
  done
  wine "$win32/bench/vorelset_wine.exe" "$(w "$work")\\WallPaper.bmp" 5 "$(w "$work/small.bmp")" "$changes" \
    "$(w "$work/big.bmp")" "$(w "$work/big.jpg")" "$(w "$work/big.png")"
}
export -f inner
export win32 work changes
"$root/tools/with-display.sh" bash -c inner
