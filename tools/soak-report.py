#!/usr/bin/env python3
"""The soak's figures from build/soak/soak.csv and the change times: the slope of every count
after the first 100 changes (least squares, per 1000 changes), the median and 99th percentile
of the change time, and a PNG of the four counts against the changes, drawn by ImageMagick
(already a build dependency), so no plotting package is needed.

  soak-report.py <soak.csv> <change_times.txt> <out.png>
"""
import csv
import statistics
import subprocess
import sys

# The four counts of the plot: per panel, the column drawn and what else is printed. Under
# Wine the API counts (handles, gdi_objects, user_objects) read 0; the panel then draws the
# count read another way, and says so.
PANELS = [
    ("working set (MiB)", ["working_set_bytes"], 1 / (1024 * 1024)),
    ("handles", ["handles", "listed_handles"], 1),
    ("GDI objects", ["gdi_objects", "gdi_table_entries"], 1),
    ("USER objects", ["user_objects", "windows"], 1),
]
COLOURS = ["#1f77b4", "#d62728"]


def number(text):
    return float(text) if text not in ("", None) else None


def slope(xs, ys):
    pairs = [(x, y) for x, y in zip(xs, ys) if y is not None]
    if len(pairs) < 2:
        return None
    mx = sum(x for x, _ in pairs) / len(pairs)
    my = sum(y for _, y in pairs) / len(pairs)
    sxx = sum((x - mx) ** 2 for x, _ in pairs)
    if sxx == 0:
        return None
    return sum((x - mx) * (y - my) for x, y in pairs) / sxx * 1000


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(fraction * len(ordered)))]


def drawable(rows, column):
    values = [number(r[column]) for r in rows]
    # A column that is empty or all zero is a count this system cannot read.
    return values if any(v for v in values if v is not None) else None


def plot(rows, out):
    width, height = 1200, 800
    pw, ph = width // 2, height // 2
    xs = [int(r["changes"]) for r in rows]
    xmax = max(max(xs), 1)
    mvg = ["viewbox 0 0 %d %d" % (width, height), "fill white", "rectangle 0,0 %d,%d" % (width, height),
           "font-size 14"]
    for index, (title, columns, scale) in enumerate(PANELS):
        ox, oy = (index % 2) * pw, (index // 2) * ph
        left, right, top, bottom = ox + 80, ox + pw - 20, oy + 40, oy + ph - 50
        series = []
        for column in columns:
            values = drawable(rows, column)
            if values is not None:
                series.append((column, [None if v is None else v * scale for v in values]))
        mvg += ["stroke black", "fill none", "rectangle %d,%d %d,%d" % (left, top, right, bottom)]
        mvg += ["stroke none", "fill black", "text %d,%d '%s'" % (left, oy + 25, title)]
        if not series:
            mvg.append("text %d,%d 'not readable here (%s read 0)'" % (left + 20, (top + bottom) // 2,
                                                                      " / ".join(columns)))
            continue
        values = [v for _, vs in series for v in vs if v is not None]
        lo, hi = min(values), max(values)
        if hi - lo < 1e-9:
            lo, hi = lo - 1, hi + 1
        pad = (hi - lo) * 0.1
        lo, hi = max(0.0, lo - pad) if lo >= 0 else lo - pad, hi + pad
        for tick in range(5):
            v = lo + (hi - lo) * tick / 4
            y = bottom - (bottom - top) * tick / 4
            label = ("%.1f" % v) if scale != 1 or hi - lo < 8 else ("%d" % round(v))
            mvg += ["stroke #dddddd", "line %d,%.1f %d,%.1f" % (left + 1, y, right - 1, y), "stroke none",
                    "fill black", "text %d,%.1f '%s'" % (ox + 10, y + 5, label)]
        for tick in range(5):
            x = left + (right - left) * tick / 4
            label = "%d" % round(xmax * tick / 4)
            # Centred under the tick; the last one ends at the frame.
            offset = 7 * len(label) if tick == 4 else 3.5 * len(label)
            mvg += ["text %.1f,%d '%s'" % (x - offset, bottom + 18, label)]
        mvg.append("text %d,%d 'changes'" % ((left + right) // 2 - 25, bottom + 38))
        for number_, (column, vs) in enumerate(series):
            points = ["%.1f,%.1f" % (left + (right - left) * x / xmax, bottom - (bottom - top) * (v - lo) / (hi - lo))
                      for x, v in zip(xs, vs) if v is not None]
            mvg += ["stroke %s" % COLOURS[number_], "stroke-width 2", "fill none", "polyline " + " ".join(points),
                    "stroke-width 1", "stroke none", "fill %s" % COLOURS[number_],
                    "text %d,%d '%s'" % (right - 190, top + 20 + 18 * number_, column)]
    subprocess.run(["convert", "-size", "%dx%d" % (width, height), "xc:white", "-draw", "\n".join(mvg), out],
                   check=True)


def main():
    path, times_path, out = sys.argv[1:4]
    with open(path, newline="") as f:
        rows = list(csv.DictReader(f))
    if not rows:
        print("soak-report: no rows")
        return 1
    later = [r for r in rows if int(r["changes"]) >= 100]
    xs = [int(r["changes"]) for r in later]
    print("soak: %d changes sampled in %d rows (%s)" % (int(rows[-1]["changes"]), len(rows), path))
    print("soak: slope per 1000 changes after the first 100 (least squares):")
    for column in ["working_set_bytes", "peak_working_set_bytes", "handles", "gdi_objects", "user_objects",
                   "listed_handles", "gdi_table_entries", "windows"]:
        ys = [number(r[column]) for r in later]
        s = slope(xs, ys)
        first = next((y for y in ys if y is not None), None)
        last = next((y for y in reversed(ys) if y is not None), None)
        if s is None:
            print("  %-24s unreadable" % column)
        else:
            print("  %-24s %+12.2f   (at 100: %s, at the end: %s)" % (column, s, first, last))
    with open(times_path) as f:
        times = [float(line) for line in f if line.strip()]
    if times:
        print("soak: change time over %d requested changes: median %.1f ms, 99th percentile %.1f ms, max %.1f ms"
              % (len(times), statistics.median(times), percentile(times, 0.99), max(times)))
    plot(rows, out)
    print("soak: plot %s" % out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
