#!/usr/bin/env python3
"""Builds the help folder that sits beside the programs as Help\\index.html.

Each page in resources/help is the body of one page, headed by a comment naming its title; the
pages are put into _layout.html (header, navigation, footer with the version) so that every page
stays plain HTML and CSS that a browser opens from disk. The pictures are taken from the
programs' own icons and logo, drawn earlier in the build, so the help looks like the programs.

Usage: make_help.py SOURCE_DIR OUT_DIR VERSION ART_DIR
"""
import pathlib
import re
import shutil
import subprocess
import sys


def frame_of_side(icon, side):
    """The index of the icon's frame that is side pixels square."""
    sides = subprocess.run(["identify", "-format", "%w\\n", str(icon)], check=True, capture_output=True,
                           text=True).stdout.split()
    if str(side) not in sides:
        sys.exit(f"{icon}: no frame of {side} pixels")
    return sides.index(str(side))


def tray_area(icon, picture):
    """The corner of the task bar where Vorel lives: the "^" of the hidden icons open above it,
    Vorel's icon among them, ringed. Drawn at twice the size the help shows it."""
    font = next((f for f in ("/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf",
                             "/usr/share/fonts/truetype/fonts-japanese-gothic.ttf") if pathlib.Path(f).exists()),
                "DejaVu-Sans")
    subprocess.run(
        ["convert", "-limit", "thread", "1", "-size", "560x260", "gradient:#9fbad8-#f2d8bc",
         # The task bar, its "^" and the clock.
         "-fill", "#f3f3f3", "-draw", "rectangle 0,184 560,260", "-fill", "#d6d9de", "-draw", "rectangle 0,184 560,185",
         "-stroke", "#20344e", "-strokewidth", "3", "-fill", "none", "-draw", "polyline 34,228 46,214 58,228",
         "-stroke", "none", "-fill", "#20344e", "-font", font, "-pointsize", "22",
         "-annotate", "+452+216", "12:00", "-annotate", "+412+246", "2026/12/10",
         # The hidden icons above it: a shadow, the panel, two other programs' icons.
         "-fill", "#0000002a", "-draw", "roundrectangle 14,74 186,174 12,12",
         "-fill", "white", "-stroke", "#cfd4db", "-strokewidth", "2", "-draw", "roundrectangle 8,66 180,166 12,12",
         "-stroke", "none", "-fill", "#c3cad4", "-draw", "roundrectangle 86,100 114,128 6,6",
         "-draw", "roundrectangle 132,100 160,128 6,6",
         icon, "-geometry", "+26+98", "-composite",
         "-stroke", "#e07a2e", "-strokewidth", "4", "-fill", "none", "-draw", "circle 42,114 42,88",
         "PNG32:" + str(picture)],
        check=True)


def main():
    if len(sys.argv) != 5:
        sys.exit("usage: make_help.py SOURCE_DIR OUT_DIR VERSION ART_DIR")
    src, out, version, art = (pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2]),
                              sys.argv[3], pathlib.Path(sys.argv[4]))
    layout = (src / "_layout.html").read_text(encoding="utf-8")
    out.mkdir(parents=True, exist_ok=True)
    (out / "img").mkdir(exist_ok=True)

    for page in sorted(src.glob("*.html")):
        if page.name.startswith("_"):
            continue
        body = page.read_text(encoding="utf-8")
        m = re.match(r"\s*<!--\s*title:\s*(.*?)\s*-->\s*", body)
        if not m:
            sys.exit(f"{page}: the first line must be <!-- title: ... -->")
        html = (layout.replace("@TITLE@", m.group(1))
                .replace("@BODY@", body[m.end():].rstrip("\n"))
                .replace("@VERSION@", version))
        (out / page.name).write_text(html, encoding="utf-8", newline="\r\n")
    shutil.copyfile(src / "style.css", out / "style.css")

    # (picture in the build, side of the icon's frame, name in the help). The 32-pixel frames of
    # the small pictures are shown at 16 so that they stay sharp on high-resolution screens.
    pictures = [("vorelset.ico", 48, "vorelset.png"), ("vorelset.ico", 16, "vorelset16.png"),
                ("vorelrun.ico", 16, "vorelrun16.png"),
                ("vorelset_tray_running.ico", 32, "tray_running.png"),
                ("vorelset_tray_paused.ico", 32, "tray_paused.png"),
                ("vorelset_logo.bmp", None, "logo.png")]
    for glyph in ("help", "setup", "head_common", "head_resident", "head_oneshot", "page_wallpaper",
                  "page_change", "page_calendar", "page_link", "page_env", "page_keys", "excluded", "folder", "file",
                  "viewer", "plugin"):
        pictures.append((f"glyph_{glyph}.ico", 32, f"{glyph}.png"))
    for source, side, name in pictures:
        picture = str(art / source)
        if side is not None:
            picture += f"[{frame_of_side(art / source, side)}]"
        subprocess.run(["convert", "-limit", "thread", "1", picture, "+repage", "PNG32:" + str(out / "img" / name)],
                       check=True)

    tray_area(out / "img" / "tray_running.png", out / "img" / "tray_area.png")

    # Every link between the pages must reach a page that exists.
    for page in out.glob("*.html"):
        for target in re.findall(r'(?:href|src)="([^"#:]+)', page.read_text(encoding="utf-8")):
            if not (out / target).exists():
                sys.exit(f"{page.name}: broken link {target}")


if __name__ == "__main__":
    main()
