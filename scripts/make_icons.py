#!/usr/bin/env python3
"""Draws the editor's icon and the icon of its project files.

Writes, under data/icons/hicolor/ (the layout the desktop's icon theme
expects, installed as it is):
    scalable/apps/io.github.tamrisk.Tamrisk.svg
    scalable/mimetypes/application-x-tamrisk-project.svg
    NxN/apps/io.github.tamrisk.Tamrisk.png            N = 16 .. 256
    NxN/mimetypes/application-x-tamrisk-project.png
The SVG text is written here by hand; rsvg-convert (Debian librsvg2-bin)
renders the PNG sizes, which are kept in the repository so that building
needs no renderer. Run again after changing a drawing:
    python3 scripts/make_icons.py
"""
import os
import shutil
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "data", "icons", "hicolor")
APP = "io.github.tamrisk.Tamrisk"
MIME = "application-x-tamrisk-project"
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)

# The three layers of a frame (background, pattern, foreground), back to
# front, and the ball that moves across them.
LAYER_FILLS = ("#9fa8da", "#c5cae9", "#ffffff")
BALL = "#ff7043"
BALL_SHADE = "#d84315"


def frame_stack(x, y, w, h, step, radius):
    """Three frames, each `step` to the lower right of the one behind it,
    the front one holding a ball and its fading trail."""
    parts = []
    for i, fill in enumerate(LAYER_FILLS):
        fx, fy = x + i * step, y + i * step
        parts.append(
            f'<rect x="{fx}" y="{fy}" width="{w}" height="{h}" rx="{radius}" '
            f'fill="{fill}" stroke="#1a237e" stroke-width="{max(2, step // 4)}"/>'
        )
    fx, fy = x + 2 * step, y + 2 * step
    r = h * 0.2
    cx, cy = fx + w * 0.68, fy + h * 0.52
    for k, opacity in ((3, 0.2), (2, 0.35), (1, 0.55)):
        parts.append(
            f'<circle cx="{cx - k * r * 0.9:.1f}" cy="{cy + k * r * 0.25:.1f}" '
            f'r="{r * (1 - 0.12 * k):.1f}" fill="{BALL}" opacity="{opacity}"/>'
        )
    parts.append(
        f'<circle cx="{cx:.1f}" cy="{cy:.1f}" r="{r:.1f}" fill="{BALL}" '
        f'stroke="{BALL_SHADE}" stroke-width="{max(2, step // 4)}"/>'
    )
    return "\n  ".join(parts)


def svg(body, defs=""):
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
        'viewBox="0 0 256 256">\n'
        f"  {defs}{body}\n"
        "</svg>\n"
    )


def app_icon():
    """A rounded tile in deep blue with the frame stack on it."""
    defs = (
        '<defs><linearGradient id="tile" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="#3f51b5"/><stop offset="1" stop-color="#1a237e"/>'
        "</linearGradient></defs>\n  "
    )
    tile = '<rect x="8" y="8" width="240" height="240" rx="44" fill="url(#tile)"/>\n  '
    return svg(tile + frame_stack(36, 48, 136, 104, 24, 12), defs)


def mime_icon():
    """A sheet of paper with a turned-down corner and a small frame stack."""
    sheet = (
        '<path d="M48 12 H168 L212 56 V244 H48 Z" fill="#fafafa" '
        'stroke="#616161" stroke-width="8" stroke-linejoin="round"/>\n  '
        '<path d="M168 12 V56 H212" fill="#e0e0e0" stroke="#616161" '
        'stroke-width="8" stroke-linejoin="round"/>\n  '
    )
    return svg(sheet + frame_stack(68, 96, 96, 72, 16, 8))


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def main():
    renderer = shutil.which("rsvg-convert")
    if renderer is None:
        sys.exit("make_icons.py: rsvg-convert is missing (Debian package librsvg2-bin)")
    for context, name, text in (("apps", APP, app_icon()), ("mimetypes", MIME, mime_icon())):
        source = os.path.join(OUT, "scalable", context, name + ".svg")
        write(source, text)
        for size in SIZES:
            target = os.path.join(OUT, f"{size}x{size}", context, name + ".png")
            os.makedirs(os.path.dirname(target), exist_ok=True)
            subprocess.run(
                [renderer, "-w", str(size), "-h", str(size), "-o", target, source], check=True
            )


if __name__ == "__main__":
    main()
