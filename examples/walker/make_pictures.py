#!/usr/bin/env python3
"""Draws the pictures of the walker example project and writes walker.pst.

Standard library only: the PNG files are written by hand (palette, 8 bits),
so the output is the same on every machine. Run from anywhere:
    python3 examples/walker/make_pictures.py

bg.png      160 x 64 background: sky, a hill, the ground
walk1..4    20 x 28 patterns: four steps of a walking figure, keyed on the
            magenta of their top-left pixel
fg.png      160 x 64 foreground: grass tufts and a post, keyed on magenta
walker.pst  the settings file: relative paths, sequence 1234 four times,
            10 pixels a frame (one lap of the 160-pixel frame), a small bob
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
WIDTH, HEIGHT = 160, 64
FIG_W, FIG_H = 20, 28
GROUND = 50

PALETTE = [
    (0xFF, 0x00, 0xFF),  # 0 key (magenta)
    (0x8E, 0xC9, 0xF0),  # 1 sky, high
    (0xB4, 0xDC, 0xF5),  # 2 sky, low
    (0x7D, 0xB3, 0x62),  # 3 hill
    (0xC2, 0x9A, 0x5B),  # 4 path
    (0xA6, 0x7F, 0x44),  # 5 path, darker
    (0x2B, 0x2B, 0x3A),  # 6 figure outline
    (0xF2, 0xC1, 0x94),  # 7 face
    (0xD9, 0x48, 0x3B),  # 8 shirt
    (0x33, 0x55, 0x9E),  # 9 trousers
    (0x3F, 0x8F, 0x32),  # 10 grass
    (0x6E, 0x4A, 0x2A),  # 11 post
    (0xFF, 0xF5, 0xB0),  # 12 sun
]


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def write_png(name, pixels):
    height, width = len(pixels), len(pixels[0])
    raw = b"".join(b"\x00" + bytes(row) for row in pixels)
    data = (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0))
            + chunk(b"PLTE", b"".join(bytes(c) for c in PALETTE))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def canvas(width, height, colour):
    return [[colour] * width for _ in range(height)]


def dot(pixels, x, y, colour):
    if 0 <= y < len(pixels) and 0 <= x < len(pixels[0]):
        pixels[y][x] = colour


def line(pixels, x0, y0, x1, y1, colour):
    steps = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(steps + 1):
        dot(pixels, round(x0 + (x1 - x0) * i / steps), round(y0 + (y1 - y0) * i / steps), colour)


def thick_line(pixels, x0, y0, x1, y1, colour):
    line(pixels, x0, y0, x1, y1, colour)
    line(pixels, x0 + 1, y0, x1 + 1, y1, colour)


def disc(pixels, cx, cy, r, colour):
    for y in range(int(cy - r) - 1, int(cy + r) + 2):
        for x in range(int(cx - r) - 1, int(cx + r) + 2):
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                dot(pixels, x, y, colour)


def background():
    pixels = canvas(WIDTH, HEIGHT, 1)
    for y in range(HEIGHT // 2, HEIGHT):
        for x in range(WIDTH):
            pixels[y][x] = 2
    disc(pixels, 128, 12, 7, 12)
    for x in range(WIDTH):
        top = int(38 - 14 * math.exp(-((x - 55) / 30.0) ** 2))
        for y in range(top, GROUND):
            pixels[y][x] = 3
    for y in range(GROUND, HEIGHT):
        for x in range(WIDTH):
            pixels[y][x] = 5 if (x // 8 + y) % 5 == 0 else 4
    return pixels


# Leg and arm swing of the four steps: (front foot dx, back foot dx, arm dx).
STEPS = [(5, -5, 4), (2, -1, 1), (-5, 5, -4), (-1, 2, -1)]


def figure(step):
    pixels = canvas(FIG_W, FIG_H, 0)
    front, back, arm = STEPS[step]
    hip_x, hip_y, neck_y = 9, 18, 9
    thick_line(pixels, hip_x, hip_y, hip_x + back, FIG_H - 1, 9)   # back leg
    thick_line(pixels, hip_x, neck_y + 1, hip_x - arm, 15, 6)     # back arm
    for y in range(neck_y, hip_y + 1):                           # body
        for x in range(hip_x - 2, hip_x + 3):
            dot(pixels, x, y, 8)
    thick_line(pixels, hip_x, hip_y, hip_x + front, FIG_H - 1, 9)  # front leg
    thick_line(pixels, hip_x, neck_y + 1, hip_x + arm, 15, 6)     # front arm
    disc(pixels, hip_x + 0.5, 5, 4.2, 6)                          # head
    disc(pixels, hip_x + 0.5, 5, 3.2, 7)
    dot(pixels, hip_x + 2, 4, 6)                                  # eye, facing right
    return pixels


def foreground():
    pixels = canvas(WIDTH, HEIGHT, 0)
    for x in range(WIDTH):
        for y in range(HEIGHT - 4, HEIGHT):
            pixels[y][x] = 10
        if x % 11 in (0, 3, 7):
            height = 6 + (x * 7) % 5
            line(pixels, x, HEIGHT - 1, x + (1 if x % 2 else -1), HEIGHT - height, 10)
    for y in range(GROUND - 14, HEIGHT):
        for x in range(100, 104):
            pixels[y][x] = 11
    return pixels


def settings():
    layers = ["bg.png", "walk1.png", "walk2.png", "walk3.png", "walk4.png"]
    layers += [""] * 5 + ["fg.png"]
    sequence = "1234" * 4
    records = [f'"{name}"' for name in layers]
    # adjust_x, adjust_y, sc_bar, sequence, drive, output folder, base name, image folder
    records.append(f'0,{GROUND - FIG_H + 2},10,"{sequence}","/",".","walker","."')
    for k in range(len(sequence)):
        records.append("0,0" if k == 0 else ("0,-1" if k % 2 else "0,1"))
    records.append("#TRUE#,16777215,80,50")
    with open(os.path.join(HERE, "walker.pst"), "wb") as f:
        f.write(("\r\n".join(records) + "\r\n").encode("ascii"))


def main():
    write_png("bg.png", background())
    for step in range(4):
        write_png(f"walk{step + 1}.png", figure(step))
    write_png("fg.png", foreground())
    settings()


if __name__ == "__main__":
    main()
