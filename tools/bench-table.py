#!/usr/bin/env python3
"""The one table of `make bench`: every figure of the run beside its peer from the same run.

  bench-table.py <folder of the run's outputs> <find over the tree, ms>

Reads the rows the Vorelrun script appended (figure, value, peer, peer value, command), the
Wine benches' printed lines and the native Google Benchmark JSON files; prints markdown.
"""
import json
import os
import re
import sys

folder, find_ms = sys.argv[1], sys.argv[2]
rows = []


def add(figure, value, peer="", peer_value="", command=""):
    rows.append((figure, str(value), peer, str(peer_value), command))


def read(name):
    path = os.path.join(folder, name)
    return open(path, encoding="utf-8", errors="replace").read() if os.path.exists(path) else ""


def gbench(name):
    text = read(name + ".json")
    if not text:
        return {}
    return {b["name"]: b for b in json.loads(text).get("benchmarks", [])}


collect = read("collect")
m = re.search(r"CollectPictures \(one listing per folder\): ([0-9.]+) ms", collect)
if m:
    add("CollectPictures, 100,000 files under Wine (ms)", m.group(1), "find over the same tree", find_ms,
        "wine bench/collect_pictures_wine.exe <tree> 3 (best of 3)")
native_collect = gbench("collect_pictures_bench").get("BM_CollectInMemory")
if native_collect:
    add("CollectPictures natively, in memory (ms)", f"{native_collect['real_time']:.1f}", "", "",
        "build/bench-native/bench/collect_pictures_bench")

fill = read("fill")
for m in re.finditer(r"(\d+) pictures: refresh ([0-9.]+) ms \(first [0-9.]+ ms; scan [0-9.]+ ms, of which listing the "
                     r"folder ([0-9.]+) ms", fill):
    add(f"Page \"壁紙\": folder contents of {int(m.group(1)):,} pictures filled and painted (ms)", m.group(2),
        "listing the folder alone", m.group(3), "wine bench/wallpaper_fill_wine.exe <work> <folder> ... (best of 3)")

order = read("order")
native_order = gbench("picture_order_bench")
native_draw = native_order.get("BM_DrawRandomPlace")
for line in order.splitlines():
    m = re.match(r"(.+?)\s+n=\s*\d+ mean\s+[0-9.]+ ms\s+median\s+([0-9.]+) ms", line)
    if m:
        peer, peer_value = ("", "")
        if m.group(1).startswith("draw at a random place") and native_draw:
            peer, peer_value = "natively (in-memory registry)", f"{native_draw['real_time']:.2f}"
        add(f"NextPicture, 100,000 candidates under Wine: {m.group(1)} (ms, median)", m.group(2), peer, peer_value,
            "wine bench/picture_order_wine.exe")
if native_draw and "values_written" in native_draw:
    add("NextPicture: registry values written per draw (random place)", f"{native_draw['values_written']:.0f}", "",
        "", "build/bench-native/bench/picture_order_bench (counter values_written)")
first = native_order.get("BM_DrawFirstPlace")
if first and "values_written" in first:
    add("NextPicture: registry values written per draw (first place)", f"{first['values_written']:.0f}", "", "",
        "build/bench-native/bench/picture_order_bench (counter values_written)")

for name, b in gbench("fit_picture_bench").items():
    if name.startswith("BM_FitShrink/"):
        add(f"Fit natively: {name} (ms)", f"{b['real_time']:.1f}", "", "", "build/bench-native/bench/fit_picture_bench")

vorelset = read("vorelset")
floor = re.search(r"a trivial window program \(the floor\): working set ([0-9.]+) MB", vorelset)
pictures = {"big.bmp": ("6000 × 4000 BMP", 6000 * 4000), "big.jpg": ("6000 × 4000 JPEG of quality 90", 6000 * 4000),
            "big.png": ("4000 × 3000 PNG", 4000 * 3000)}
for name, (label, pixels) in pictures.items():
    m = re.search(r"change run in Vorelset, " + re.escape(name) + r": median ([0-9.]+) ms", vorelset)
    feh = re.search(r"feh --bg-fill, " + re.escape(name) + r": median ([0-9.]+) s, peak ([0-9]+) KB", vorelset)
    command = "bench/vorelset_vs_feh.sh (median of 5)"
    if m:
        add(f"Change run inside Vorelset, {label}, calendar on (ms)", m.group(1), "feh --bg-fill, whole process",
            f"{float(feh.group(1)) * 1000:.0f}" if feh else "", command)
    peak = re.search(r"after the timed changes of " + re.escape(name) + r": working set [0-9.]+ MB, peak ([0-9.]+) MB",
                     vorelset)
    if peak:
        add(f"Vorelset peak working set over those changes, {label} (MB)", peak.group(1),
            "an idle program with one window (the floor)", floor.group(1) if floor else "",
            "bench/vorelset_vs_feh.sh (GetProcessMemoryInfo)")
        add(f"Vorelset peak working set over those changes, {label} (MB)", peak.group(1), "decoded 32-bit source",
            f"{pixels * 4 / 1048576:.0f}", "bench/vorelset_vs_feh.sh (GetProcessMemoryInfo)")
    if feh:
        add(f"feh --bg-fill, {label}, peak (MB)", f"{int(feh.group(2)) / 1024:.0f}", "decoded 32-bit source",
            f"{pixels * 4 / 1048576:.0f}", "bench/vorelset_vs_feh.sh (GNU time)")
for m in re.finditer(r"(after start|after \d+ changes): working set ([0-9.]+) MB", vorelset):
    add(f"Vorelset working set {m.group(1)} (MB)", m.group(2), "an idle program with one window (the floor)",
        floor.group(1) if floor else "", "bench/vorelset_vs_feh.sh (GetProcessMemoryInfo)")

for line in read("rows").splitlines():
    parts = line.split("\t")
    if len(parts) == 5:
        add(*parts)


def ratio(value, peer_value):
    try:
        v, p = float(value), float(peer_value)
        return f"{v / p:.2f} ×" if p > 0 else ""
    except ValueError:
        return ""


print()
print("| Figure | Vorel | Peer | Peer's figure | Ratio | Command |")
print("|---|---:|---|---:|---:|---|")
for figure, value, peer, peer_value, command in rows:
    print(f"| {figure} | {value} | {peer} | {peer_value} | {ratio(value, peer_value)} | `{command}` |")
