#!/usr/bin/env python3
"""Draws the two 64 x 64, 256-colour pictures of the settings dialog's test
areas: a round target touched once (click) and twice (double click).
Writes click_area.bmp and dclick_area.bmp beside this script."""
import math
import os
import struct

SIZE = 64
# Palette: 0 face grey, 1 dark grey, 2 white, 3 blue, 4 light blue, 5 orange.
PALETTE = [(192, 192, 192), (96, 96, 96), (255, 255, 255), (0, 64, 160), (120, 170, 230), (240, 140, 0)]


def write_bmp(path, pixels):
    row = SIZE  # 64 bytes a row: already a multiple of 4
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE + [(0, 0, 0)] * (256 - len(PALETTE)))
    data = b"".join(bytes(pixels[y]) for y in reversed(range(SIZE)))
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 8, 0, len(data), 2835, 2835, 256, 0)
    with open(path, "wb") as f:
        f.write(header + info + palette + data)


def target(clicks):
    pixels = [[0] * SIZE for _ in range(SIZE)]
    cx = cy = 31.5
    for y in range(SIZE):
        for x in range(SIZE):
            d = math.hypot(x - cx, y - cy)
            if d <= 29:
                pixels[y][x] = 1 if d > 27 else (4 if d > 20 else (2 if d > 13 else 3))
    # One touch mark per click, orange dots below the centre line.
    for i in range(clicks):
        mx = 31.5 + (i - (clicks - 1) / 2) * 12
        for y in range(SIZE):
            for x in range(SIZE):
                if math.hypot(x - mx, y - cy) <= 4.5:
                    pixels[y][x] = 5
    return pixels


here = os.path.dirname(os.path.abspath(__file__))
write_bmp(os.path.join(here, "click_area.bmp"), target(1))
write_bmp(os.path.join(here, "dclick_area.bmp"), target(2))
