#!/usr/bin/env python3
"""Draws the installer's pictures and writes them (the files are committed;
run this again after changing a drawing):

    draw_assets.py [OUTPUT_FOLDER]      (default: the folder of this script)

icons/velmic.ico   Velmic's program icon: a fingertip on a panel with two
                   click rings and a speaker wave (the click settings).
icons/gorvat.ico   Gorvat's program icon: a panel with two cross-hair marks
                   in opposite corners (the two-point calibration).
samples/left.ico   Palvine's picture of the one-shot disarmed: a mouse with
                   its left button lit blue.
samples/right.ico  ... armed: the right button lit red.
samples/single1.bmp, single2.bmp   Velmic's click test area, shown in turn
                   on each click: one ring, blue and then green.
samples/double1.bmp, double2.bmp   its double-click test area: two rings,
                   orange and then purple.

Every icon holds 16, 24, 32, 48 and 256 pixel images (32-bit with alpha;
the 256 pixel one PNG-compressed, as Windows expects). The bitmaps are
64 x 64 pixels, 24-bit. Drawings are in unit coordinates, rendered at each
size with 4 x 4 samples per pixel. Only the standard library is used.
"""
import os
import struct
import sys
import zlib

ICON_SIZES = (16, 24, 32, 48, 256)
SAMPLES = 4


# A drawing is a list of (shape, colour); colour is (r, g, b, a). A shape
# is a function of a point (x, y in 0..1) that says whether it is inside.
def rect(x0, y0, x1, y1, r=0.0):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r + 1e-12
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, w):
    return lambda x, y: (r - w / 2) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= (r + w / 2) ** 2


def line(x0, y0, x1, y1, w):
    def inside(x, y):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        return (x - x0 - t * dx) ** 2 + (y - y0 - t * dy) ** 2 <= (w / 2) ** 2
    return inside


def arc_right(cx, cy, r, w):
    inner = ring(cx, cy, r, w)
    return lambda x, y: inner(x, y) and x > cx + 0.3 * abs(y - cy)


BLACK = (20, 20, 20, 255)
WHITE = (255, 255, 255, 255)
GREY = (190, 195, 200, 255)
DARK = (70, 80, 90, 255)
SCREEN = (0, 128, 128, 255)
BLUE = (30, 90, 230, 255)
RED = (220, 30, 30, 255)
GREEN = (30, 160, 60, 255)
ORANGE = (240, 140, 20, 255)
PURPLE = (140, 50, 170, 255)
SKIN = (250, 215, 180, 255)


def render(drawing, size, background=(0, 0, 0, 0)):
    """RGBA rows, top first."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    colour = background
                    for shape, fill in drawing:
                        if shape(x, y):
                            colour = fill
                    a = colour[3] / 255.0
                    for i in range(3):
                        acc[i] += colour[i] * a
                    acc[3] += a
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            if alpha > 0:
                row.append(tuple(int(round(acc[i] / acc[3])) for i in range(3)) + (int(round(alpha * 255)),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def bmp_entry(rows):
    """An icon image: 32-bit BGRA DIB, bottom-up, with an all-zero AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    return header + pixels + b"\0" * (mask_row * size)


def png(rows):
    size = len(rows)
    raw = b"".join(b"\0" + bytes(v for pixel in row for v in pixel) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_icon(path, drawing):
    images = [png(render(drawing, s)) if s == 256 else bmp_entry(render(drawing, s)) for s in ICON_SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(ICON_SIZES, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


def write_bmp(path, drawing, size=64):
    rows = render(drawing, size, background=WHITE)
    stride = (size * 3 + 3) & ~3
    pixels = b"".join(bytes(v for (r, g, b, _) in row for v in (b, g, r)) + b"\0" * (stride - size * 3)
                      for row in reversed(rows))
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 54) + info + pixels)


def panel():
    return [(rect(0.06, 0.1, 0.94, 0.82, 0.06), BLACK), (rect(0.11, 0.15, 0.89, 0.77, 0.03), SCREEN),
            (rect(0.4, 0.82, 0.6, 0.9), DARK), (rect(0.25, 0.88, 0.75, 0.95, 0.02), BLACK)]


def finger(x, y):
    """A fingertip pointing down to (x, y)."""
    return [(rect(x - 0.1, y - 0.02, x + 0.1, y + 0.45, 0.1), BLACK),
            (rect(x - 0.075, y + 0.005, x + 0.075, y + 0.45, 0.075), SKIN)]


def velmic():
    return panel() + [(ring(0.42, 0.42, 0.12, 0.04), WHITE), (ring(0.42, 0.42, 0.22, 0.04), WHITE),
                      (arc_right(0.62, 0.3, 0.1, 0.04), ORANGE), (arc_right(0.62, 0.3, 0.18, 0.04), ORANGE)] + \
        finger(0.42, 0.42)


def crosshair(x, y, r):
    return [(ring(x, y, r, 0.045), RED), (line(x - r * 1.6, y, x + r * 1.6, y, 0.04), RED),
            (line(x, y - r * 1.6, x, y + r * 1.6, 0.04), RED)]


def gorvat():
    return panel() + crosshair(0.3, 0.33, 0.09) + crosshair(0.7, 0.59, 0.09) + \
        [(line(0.38, 0.38, 0.62, 0.54, 0.03), WHITE)]


def mouse(left, right):
    return [(rect(0.2, 0.08, 0.8, 0.94, 0.22), BLACK), (rect(0.24, 0.12, 0.76, 0.9, 0.19), GREY),
            (rect(0.25, 0.13, 0.485, 0.46, 0.05), left), (rect(0.515, 0.13, 0.75, 0.46, 0.05), right),
            (rect(0.24, 0.46, 0.76, 0.49), BLACK), (rect(0.485, 0.12, 0.515, 0.49), BLACK),
            (rect(0.46, 0.2, 0.54, 0.34, 0.04), DARK), (line(0.5, 0.0, 0.5, 0.09, 0.04), BLACK)]


def rings(count, colour):
    drawing = []
    centres = [(0.5, 0.5)] if count == 1 else [(0.34, 0.5), (0.66, 0.5)]
    for x, y in centres:
        drawing += [(circle(x, y, 0.2 if count == 1 else 0.15), colour), (circle(x, y, 0.08 if count == 1 else 0.06), WHITE)]
    return drawing


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(os.path.join(folder, "icons"), exist_ok=True)
    os.makedirs(os.path.join(folder, "samples"), exist_ok=True)
    write_icon(os.path.join(folder, "icons", "velmic.ico"), velmic())
    write_icon(os.path.join(folder, "icons", "gorvat.ico"), gorvat())
    write_icon(os.path.join(folder, "samples", "left.ico"), mouse(BLUE, WHITE))
    write_icon(os.path.join(folder, "samples", "right.ico"), mouse(WHITE, RED))
    write_bmp(os.path.join(folder, "samples", "single1.bmp"), rings(1, BLUE))
    write_bmp(os.path.join(folder, "samples", "single2.bmp"), rings(1, GREEN))
    write_bmp(os.path.join(folder, "samples", "double1.bmp"), rings(2, ORANGE))
    write_bmp(os.path.join(folder, "samples", "double2.bmp"), rings(2, PURPLE))


if __name__ == "__main__":
    main()
