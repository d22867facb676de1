#!/usr/bin/env python3
"""Writes the seed corpus of the PNG fuzz target into corpus/png/.

Tiny pictures of every colour type and the bit depths each allows, plain and
interlaced, with and without tRNS, and a few damaged or unusual files. Encoded
here with zlib alone, so that the seeds do not depend on the reader under test.
Run it again after changing it; the output is the same every time.
"""

import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus", "png")
SIGNATURE = b"\x89PNG\r\n\x1a\n"


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def ihdr(width, height, depth, colour, interlace=0):
    return chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, interlace))


SAMPLES = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}  # samples per pixel of each colour type


def sample(x, y, s, depth):
    return (x * 7 + y * 13 + s * 5) % (1 << depth)


def pack_row(values, depth):
    if depth == 16:
        return b"".join(struct.pack(">H", v) for v in values)
    if depth == 8:
        return bytes(values)
    per_byte = 8 // depth
    out = bytearray()
    for i in range(0, len(values), per_byte):
        byte = 0
        for k, v in enumerate(values[i:i + per_byte]):
            byte |= v << (8 - depth * (k + 1))
        out.append(byte)
    return bytes(out)


# Adam7: (x start, y start, x step, y step) of the seven passes.
ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]


def raw_data(width, height, depth, colour, interlace, filter_type=0):
    n = SAMPLES[colour]

    def rows(xs, ys):
        data = b""
        for y in ys:
            values = [sample(x, y, s, depth) for x in xs for s in range(n)]
            data += bytes([filter_type]) + pack_row(values, depth)
        return data

    if not interlace:
        return rows(range(width), range(height))
    data = b""
    for x0, y0, dx, dy in ADAM7:
        xs = range(x0, width, dx)
        ys = range(y0, height, dy)
        if len(xs) and len(ys):
            data += rows(xs, ys)
    return data


def picture(width, height, depth, colour, interlace=0, extra=b"", level=9):
    head = ihdr(width, height, depth, colour, interlace)
    if colour == 3:
        entries = 1 << depth
        palette = bytes(v for i in range(entries) for v in (i * 40 % 256, i * 90 % 256, i * 15 % 256))
        head += chunk(b"PLTE", palette)
    head += extra
    idat = zlib.compress(raw_data(width, height, depth, colour, interlace), level)
    return SIGNATURE + head + chunk(b"IDAT", idat) + chunk(b"IEND", b"")


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    depths = {0: [1, 2, 4, 8, 16], 2: [8, 16], 3: [1, 2, 4, 8], 4: [8, 16], 6: [8, 16]}
    for colour, allowed in depths.items():
        for depth in allowed:
            write("c%d_d%d.png" % (colour, depth), picture(5, 3, depth, colour))
        write("c%d_d%d_interlaced.png" % (colour, allowed[-1]), picture(9, 9, allowed[-1], colour, 1))

    write("c0_d8_trns.png", picture(4, 2, 8, 0, extra=chunk(b"tRNS", b"\x00\x07")))
    write("c2_d8_trns.png", picture(4, 2, 8, 2, extra=chunk(b"tRNS", b"\x00\x00\x00\x05\x00\x0a")))
    write("c3_d4_trns.png", picture(6, 2, 4, 3, extra=chunk(b"tRNS", b"\x00\x80\xff")))
    ancillary = chunk(b"gAMA", struct.pack(">I", 45455)) + chunk(b"tEXt", b"Comment\x00seed")
    ancillary += chunk(b"tIME", struct.pack(">HBBBBB", 2024, 6, 1, 12, 0, 0))
    write("c2_d8_ancillary.png", picture(3, 3, 8, 2, extra=ancillary))
    write("c6_d8_one_pixel.png", picture(1, 1, 8, 6))
    # One row for each of the five filter types.
    rows = b"".join(bytes([f]) + bytes(f * 30 + x for x in range(4)) for f in range(5))
    write("c0_d8_filters.png", SIGNATURE + ihdr(4, 5, 8, 0) + chunk(b"IDAT", zlib.compress(rows))
          + chunk(b"IEND", b""))

    good = picture(5, 3, 8, 2)
    # Split IDAT: the same stream in two chunks.
    idat = zlib.compress(raw_data(5, 3, 8, 2, 0))
    write("c2_d8_split_idat.png", SIGNATURE + ihdr(5, 3, 8, 2) + chunk(b"IDAT", idat[:7])
          + chunk(b"IDAT", idat[7:]) + chunk(b"IEND", b""))
    write("damaged_signature_only.png", SIGNATURE)
    write("damaged_cut_after_ihdr.png", good[:33])
    write("damaged_cut_in_idat.png", good[:len(good) - 20])
    write("damaged_no_iend.png", good[:-12])
    bad_crc = bytearray(good)
    bad_crc[29] ^= 1
    write("damaged_ihdr_crc.png", bytes(bad_crc))
    write("damaged_not_zlib.png", SIGNATURE + ihdr(5, 3, 8, 2) + chunk(b"IDAT", b"\xff\xff" + idat[2:])
          + chunk(b"IEND", b""))
    write("damaged_short_data.png", SIGNATURE + ihdr(50, 50, 8, 2) + chunk(b"IDAT", idat) + chunk(b"IEND", b""))
    write("damaged_palette_missing.png", SIGNATURE + ihdr(2, 2, 8, 3) + chunk(b"IDAT", zlib.compress(b"\0\0\0" * 2))
          + chunk(b"IEND", b""))
    write("header_huge.png", SIGNATURE + ihdr(100000, 100000, 8, 2) + chunk(b"IEND", b""))
    write("header_2_31.png", SIGNATURE + ihdr(0x7FFFFFFF, 0x7FFFFFFF, 8, 6) + chunk(b"IEND", b""))
    write("header_zero_width.png", SIGNATURE + ihdr(0, 5, 8, 0) + chunk(b"IEND", b""))
    write("header_bad_depth.png", SIGNATURE + ihdr(2, 2, 3, 0) + chunk(b"IEND", b""))
    write("not_png.png", b"GIF89a not a png at all")


if __name__ == "__main__":
    main()
