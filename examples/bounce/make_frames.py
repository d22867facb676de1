#!/usr/bin/env python3
"""Draws the frames of the bouncing-ball example and writes its script.

Standard library only: the PNG files are written by hand (palette, 8 bits),
so the output is the same on every machine. Run from anywhere:
    python3 examples/bounce/make_frames.py
"""
import math
import os
import struct
import zlib

WIDTH, HEIGHT, FRAMES = 80, 60, 12
HERE = os.path.dirname(os.path.abspath(__file__))

PALETTE = [
    (0x9C, 0xD3, 0xF5),  # 0 sky
    (0x4C, 0x9A, 0x3F),  # 1 grass
    (0x2E, 0x6B, 0x2A),  # 2 grass edge
    (0xE0, 0x3C, 0x31),  # 3 ball
    (0xFF, 0xB0, 0xA8),  # 4 highlight
    (0x35, 0x4A, 0x2E),  # 5 shadow
]
GROUND = 48


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def png(pixels):
    raw = b"".join(b"\x00" + bytes(row) for row in pixels)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 3, 0, 0, 0))
            + chunk(b"PLTE", b"".join(bytes(c) for c in PALETTE))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def frame(k):
    pixels = [[0] * WIDTH for _ in range(HEIGHT)]
    for y in range(GROUND, HEIGHT):
        for x in range(WIDTH):
            pixels[y][x] = 2 if y == GROUND else 1
    phase = k / FRAMES
    height = abs(math.cos(math.pi * phase))  # 1 at the top, 0 on the ground
    radius = 8
    squash = 1.0 if height > 0.15 else 0.75   # flattened when it lands
    rx, ry = radius / squash ** 0.5, radius * squash
    cx = 12 + (WIDTH - 24) * (0.5 - 0.5 * math.cos(2 * math.pi * phase))
    cy = GROUND - ry - height * 30
    shadow = 4 + 6 * (1 - height)
    for x in range(WIDTH):
        if abs(x - cx) <= shadow:
            pixels[GROUND + 1][x] = 5
    for y in range(HEIGHT):
        for x in range(WIDTH):
            dx, dy = (x + 0.5 - cx) / rx, (y + 0.5 - cy) / ry
            if dx * dx + dy * dy <= 1.0:
                hx, hy = dx + 0.35, dy + 0.35
                pixels[y][x] = 4 if hx * hx + hy * hy < 0.12 else 3
    return pixels


def main():
    lines = ["# MNG=bounce.mng", f"MHDR {WIDTH} {HEIGHT} 10 0 0 0 0", "LOOP 1 0x7fffffff"]
    for k in range(FRAMES):
        name = f"bounce{k:02d}.png"
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(png(frame(k)))
        lines.append(f"IHDR {name}")
    lines += ["ENDL 1", "MEND"]
    with open(os.path.join(HERE, "bounce.txt"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("ascii"))


if __name__ == "__main__":
    main()
