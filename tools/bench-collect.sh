#!/usr/bin/env bash
# Times the picture search, the persistent order, the picture fit and one Vorelrun run;
# figures only, never a failure. Ends with one markdown table of every figure beside its
# peer measured in the same run, with the ratio and the command behind it.
#  - CollectPictures over a generated tree (100,000 files in 1,000 folders, a third of
#    them pictures, "全て", the 24 GV patterns) under Wine, beside `find` over the same
#    tree and the direct way of one FindFirstFileW per folder and pattern;
#  - NextPicture over 100,000 candidates: natively (Google Benchmark, in-memory registry)
#    and under Wine against the prefix's real registry;
#  - the page "壁紙" filling its folder contents for folders of 10,000 and 100,000 pictures,
#    beside the listing of the folder alone;
#  - the peak memory of a change with every monitor its own picture on three 3840x2160
#    monitors, beside the largest decoded source plus the composed virtual screen.
# Build folders: VOREL_BENCH_NATIVE, VOREL_BENCH_WIN32 (default build/bench-native and
# build/bench-win32); Wine prefix: VOREL_WINEPREFIX (default build/bench-wineprefix-<arch>).
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
native="${VOREL_BENCH_NATIVE:-$root/build/bench-native}"
arch="$(bash "$root/tools/wine-arch.sh")"
win32="${VOREL_BENCH_WIN32:-$root/build/bench-$arch}"
export VOREL_WINEPREFIX="${VOREL_WINEPREFIX:-$root/build/bench-wineprefix-$arch}"

if [ ! -f "$native/Makefile" ]; then
  cmake -S "$root" -B "$native" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release -DVOREL_SANITIZE=OFF \
    -DVOREL_BENCH=ON >/dev/null || exit 0
fi
if [ ! -f "$win32/Makefile" ]; then
  cmake -S "$root" -B "$win32" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$(bash "$root/tools/wine-arch.sh" --toolchain)" \
    -DVOREL_BENCH=ON >/dev/null || exit 0
fi
cmake --build "$native" -j2 --target picture_order_bench collect_pictures_bench fit_picture_bench >/dev/null || exit 0
cmake --build "$win32" -j2 --target collect_pictures_wine picture_order_wine wallpaper_fill_wine >/dev/null || exit 0

tree="$(mktemp -d /tmp/vorel-bench-tree.XXXXXX)"
out="$(mktemp -d /tmp/vorel-bench-out.XXXXXX)"
fill="$(mktemp -d /tmp/vorel-bench-fill.XXXXXX)"
trap 'rm -rf "$tree" "$out" "$fill"' EXIT
export VOREL_BENCH_ROWS="$out/rows"
: >"$VOREL_BENCH_ROWS"
python3 - "$tree" <<'PY'
import os, sys
root = sys.argv[1]
pictures = ["jpg", "bmp", "gif", "tif", "JPG", "jpeg"]
others = ["txt", "dat", "html", "doc", "png", "mp3", "ini", "db", "log", "xml", "zzz", "bak"]
n = 0
for top in range(10):
    for sub in range(100):
        # 10 top folders holding 99 folders each: 1,000 folders of 100 files.
        folder = os.path.join(root, "t%d" % top) if sub == 0 else os.path.join(root, "t%d" % top, "s%02d" % sub)
        os.makedirs(folder, exist_ok=True)
        for f in range(100):
            ext = pictures[n % 6] if n % 3 == 0 else others[n % 12]
            open(os.path.join(folder, "file%06d.%s" % (n, ext)), "w").close()
            n += 1
PY
echo "tree: $(find "$tree" -type d | wc -l) folders, $(find "$tree" -type f | wc -l) files"

find "$tree" >/dev/null
best=""
for _ in 1 2 3; do
  t0=$(date +%s%N); find "$tree" >/dev/null; t1=$(date +%s%N)
  ms=$(( (t1 - t0) / 1000000 ))
  if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
done
echo "find over the same tree (Linux): $best ms"

source "$root/tools/wine-env.sh"
"$root/tools/wine-prefix.sh" >/dev/null || exit 0
wintree="$(winepath -w "$tree" 2>/dev/null)"
"$root/tools/wine-run.sh" "$win32/bench/collect_pictures_wine.exe" "$wintree" 3 | tr -d '\r' | tee "$out/collect"
"$root/tools/wine-run.sh" "$win32/bench/picture_order_wine.exe" | tr -d '\r' | tee "$out/order"
# Empty files named like pictures, made from this side: through Wine every new name is
# looked up in the growing folder, and 100,000 of them take many minutes.
python3 - "$fill" <<'PY'
import os, sys
for count in (10000, 100000):
    folder = os.path.join(sys.argv[1], "fill%d" % count)
    os.makedirs(folder)
    for n in range(count):
        open(os.path.join(folder, "絵%d_%d.bmp" % (n * 2654435761 % 1000003, n)), "w").close()
PY
"$root/tools/wine-run.sh" "$win32/bench/wallpaper_fill_wine.exe" "$(winepath -w "$fill" 2>/dev/null)" \
  "$(winepath -w "$fill/fill10000" 2>/dev/null)" "$(winepath -w "$fill/fill100000" 2>/dev/null)" | tr -d '\r' |
  tee "$out/fill"
for b in picture_order_bench collect_pictures_bench fit_picture_bench; do
  "$native/bench/$b" --benchmark_out="$out/$b.json" --benchmark_out_format=json
done
# One Vorelrun run beside feh, and the composition step by step (1920x1080 screen).
VOREL_BENCH_WIN32="$win32" "$root/bench/vorelrun_vs_feh.sh"
# A change run inside the running Vorelset, and its counts between changes.
VOREL_BENCH_WIN32="$win32" VOREL_BENCH_CHANGES="${VOREL_BENCH_CHANGES:-200}" "$root/bench/vorelset_vs_feh.sh" \
  | tr -d '\r' | tee "$out/vorelset"
# The peak memory of a change with every monitor its own picture, three 3840x2160 monitors.
VOREL_BENCH_WIN32="$win32" "$root/bench/monitors_memory.sh" | tee "$out/monitors"
python3 "$root/tools/bench-table.py" "$out" "$best"
exit 0
