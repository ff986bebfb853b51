#!/usr/bin/env bash
# The peak memory of one change with every monitor its own picture on three monitors of
# 3840 x 2160 (Xephyr under tools/with-monitors.sh), against the largest decoded source plus
# the composed virtual screen at 32 bits; beside it the same pictures with the option off (the
# primary screen's one picture). The pictures: 6000 x 4000 (the largest, shrunk), 3840 x 2160
# (as large as a monitor) and 4000 x 3000, 24-bit bitmaps. Figures only; it never fails a
# build. Build folder VOREL_BENCH_WIN32 (default build/bench-win32, or build/bench-win64 where
# the machine runs no 32-bit code).
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
arch="$(bash "$root/tools/wine-arch.sh")"
win32="${VOREL_BENCH_WIN32:-$root/build/bench-$arch}"
export VOREL_WINEPREFIX="${VOREL_WINEPREFIX:-$root/build/bench-wineprefix-$arch}"

if [ ! -f "$win32/Makefile" ]; then
  cmake -S "$root" -B "$win32" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$(bash "$root/tools/wine-arch.sh" --toolchain)" \
    -DVOREL_BENCH=ON >/dev/null || exit 0
fi
cmake --build "$win32" -j2 --target monitors_wine display_settings >/dev/null || exit 0

source "$root/tools/wine-env.sh"
"$root/tools/wine-prefix.sh" >/dev/null || exit 0
work="$(mktemp -d /tmp/vorel-bench-monitors.XXXXXX)"
trap 'rm -rf "$work"' EXIT
pictures=()
for size in 6000x4000 3840x2160 4000x3000; do
  convert -size "$size" gradient:'#203a60-#e0a040' -type TrueColor BMP3:"$work/$size.bmp"
  pictures+=("$(winepath -w "$work/$size.bmp" 2>/dev/null)")
done
wall="$(winepath -w "$work" 2>/dev/null)\\WallPaper.bmp"
for option in "" --one; do
  VOREL_WIN_BUILD="$win32" bash "$root/tools/with-monitors.sh" 3840x2160 3840x2160 3840x2160 -- \
    "$win32/bench/monitors_wine.exe" "$wall" "${pictures[@]}" $option | tr -d '\r'
done
exit 0
