#!/usr/bin/env python3
"""Draws Cordane's program icon and writes it as a 16-colour .ico file.

    make_icon.py [OUTPUT_FOLDER]      (default: the folder of this script)

The .ico file is committed; run this again after changing the drawing.
128: the program: a screen listing two panel rows (a name bar and a mode
     mark each) with a yellow pencil writing on it (32x32 and 16x16).
"""
import os
import struct
import sys

# The standard 16-colour palette, one letter each; '.' is transparent.
PALETTE = [
    ("k", (0, 0, 0)), ("m", (128, 0, 0)), ("g", (0, 128, 0)), ("o", (128, 128, 0)),
    ("n", (0, 0, 128)), ("p", (128, 0, 128)), ("t", (0, 128, 128)), ("s", (192, 192, 192)),
    ("d", (128, 128, 128)), ("r", (255, 0, 0)), ("l", (0, 255, 0)), ("y", (255, 255, 0)),
    ("b", (0, 0, 255)), ("f", (255, 0, 255)), ("c", (0, 255, 255)), ("w", (255, 255, 255)),
]
INDEX = {letter: i for i, (letter, _) in enumerate(PALETTE)}

# A pencil lying from the top right to the bottom left, its tip at (0, 9).
PENCIL = [
    ".......kk.",
    "......kmmk",
    ".....kyykk",
    "....kyyyk.",
    "...kyyyk..",
    "..kyyyk...",
    ".kwyyk....",
    ".kwwk.....",
    "kkkk......",
    "k.........",
]
PENCIL_SMALL = ["....kk", "...kyk", "..kyk.", ".kyk..", "kwk...", "k....."]


class Image:
    def __init__(self, size):
        self.size = size
        self.pixels = [["." for _ in range(size)] for _ in range(size)]

    def put(self, x, y, letter):
        if 0 <= x < self.size and 0 <= y < self.size and letter != ".":
            self.pixels[y][x] = letter

    def rect(self, x0, y0, x1, y1, letter):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, letter)

    def sprite(self, x0, y0, rows):
        for dy, row in enumerate(rows):
            for dx, letter in enumerate(row):
                self.put(x0 + dx, y0 + dy, letter)


def program_icon_32():
    img = Image(32)
    img.rect(0, 2, 27, 23, "k")          # outline
    img.rect(1, 3, 26, 22, "s")          # frame
    img.rect(3, 5, 24, 20, "n")          # screen
    for top, mark in ((7, "l"), (14, "r")):
        img.rect(5, top, 7, top + 3, mark)        # mode mark
        img.rect(9, top, 22, top + 3, "w")        # name bar
        img.rect(10, top + 1, 15, top + 2, "k")   # a name in it
    img.rect(11, 24, 16, 25, "d")        # stand
    img.rect(6, 26, 21, 27, "k")
    img.rect(7, 26, 20, 26, "s")
    img.sprite(20, 16, PENCIL)
    return img


def program_icon_16():
    img = Image(16)
    img.rect(0, 1, 13, 12, "k")
    img.rect(1, 2, 12, 11, "n")
    for top, mark in ((3, "l"), (7, "r")):
        img.rect(2, top, 3, top + 2, mark)
        img.rect(5, top, 11, top + 2, "w")
    img.rect(4, 13, 9, 13, "k")
    img.sprite(10, 9, PENCIL_SMALL)
    return img


def dib(img):
    """The image as an icon's bitmap: header, palette, 4-bit colours, mask."""
    size = img.size
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for _, (r, g, b) in PALETTE)
    colour_rows, mask_rows = [], []
    for row in reversed(img.pixels):  # bottom-up
        nibbles = [INDEX.get(letter, 0) for letter in row]
        data = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        colour_rows.append(data + b"\0" * (-len(data) % 4))
        bits = 0
        for letter in row:
            bits = (bits << 1) | (1 if letter == "." else 0)
        mask = bits.to_bytes(size // 8, "big")
        mask_rows.append(mask + b"\0" * (-len(mask) % 4))
    return header + palette + b"".join(colour_rows) + b"".join(mask_rows)


def write_icon(path, images):
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for img in images:
        blob = dib(img)
        entries.append(struct.pack("<BBBBHHII", img.size, img.size, 16, 0, 1, 4, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    with open(path, "wb") as out:
        out.write(struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs))


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    write_icon(os.path.join(folder, "cordane.ico"), [program_icon_32(), program_icon_16()])


if __name__ == "__main__":
    main()
