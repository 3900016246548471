#!/usr/bin/env python3
"""Draws Nystra's icons and writes them as 16-colour .ico files.

    make_icons.py [OUTPUT_FOLDER]      (default: the folder of this script)

The .ico files are committed; run this again after changing a drawing.
128: the program: two teal screens with smiling faces, each touched by a hand
     (32x32 and 16x16).
130: no panel active: a plain green screen with a white frame.
131: a panel active: a red screen with two eyes and a pointer arrow.
134: a request shown: a yellow screen with two eyes, a red arrow pointing
     left and a touching finger.
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

EYE_RIGHT = [".kkk.", "kwwwk", "kwkkk", "kwkkk", "kwwwk", ".kkk."]
EYE_LEFT = [".kkk.", "kwwwk", "kkkwk", "kkkwk", "kwwwk", ".kkk."]
POINTER = [
    "k.......", "kk......", "kwk.....", "kwwk....", "kwwwk...", "kwwwwk..", "kwwwwwk.", "kwwwwwwk",
    "kwwwkkkk", "kwkwk...", "kk.kwk..", "k...kwk.", "....kk..",
]
ARROW_LEFT = ["...r....", "..rr....", ".rrrrrrr", "rrrrrrrr", ".rrrrrrr", "..rr....", "...r...."]
# A gloved hand pointing up, with its sleeve; the fingertip is column 2-3 of row 0.
HAND = [
    "..kk....", ".kwwk...", ".kwwk...", ".kwwkkk.", "kkwwkwwk", "kwwwwwwk", "kwwwwwwk",
    "kwwwwwwk", ".kwwwwk.", ".kwwwwk.", ".kbbbbk.", ".kbbbbk.", ".kkkkkk.",
]
SMILEY = ["..yyy..", ".yyyyyy", "yykyyky", "yyyyyyy", "ykyyyky", ".ykkky.", "..yyy.."]
HAND_SMALL = [".k...", "kwk..", "kwkkk", "kwwwk", "kwwwk", ".kkk.", ".kbk."]


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


def monitor(img, x0, y0, x1, y1, screen, frame, frame_width, stand=True):
    """A screen in a frame with a black outline; returns the screen's inside."""
    img.rect(x0, y0, x1, y1, "k")
    img.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, frame)
    inner = (x0 + 1 + frame_width, y0 + 1 + frame_width, x1 - 1 - frame_width, y1 - 1 - frame_width)
    img.rect(*inner, screen)
    if stand:
        mid = (x0 + x1) // 2
        img.rect(mid - 2, y1 + 1, mid + 3, y1 + 2, "d")
        img.rect(mid - 7, y1 + 3, mid + 8, y1 + 4, "k")
        img.rect(mid - 6, y1 + 3, mid + 7, y1 + 3, "s")
    return inner


def program_icon_32():
    img = Image(32)
    for left, tip in ((0, 8), (16, 24)):
        monitor(img, left, 3, left + 15, 16, "t", "s", 1, stand=False)
        img.sprite(left + 4, 5, SMILEY)
        img.sprite(tip - 2, 13, HAND)
    return img


def program_icon_16():
    img = Image(16)
    for left in (0, 8):
        img.rect(left, 1, left + 7, 8, "k")
        img.rect(left + 1, 2, left + 6, 7, "t")
        for x, y in ((2, 3), (5, 3), (2, 5), (5, 5), (3, 6), (4, 6)):
            img.put(left + x, y, "y")
        img.sprite(left + 3, 7, HAND_SMALL)
    return img


def released_icon():
    img = Image(32)
    monitor(img, 1, 3, 30, 24, "g", "w", 2)
    return img


def active_icon():
    img = Image(32)
    monitor(img, 1, 3, 30, 24, "r", "s", 2)
    img.sprite(7, 8, EYE_RIGHT)
    img.sprite(13, 8, EYE_RIGHT)
    img.sprite(20, 8, POINTER)
    return img


def request_icon():
    img = Image(32)
    monitor(img, 1, 3, 30, 24, "y", "s", 2)
    img.sprite(15, 7, EYE_LEFT)
    img.sprite(21, 7, EYE_LEFT)
    img.sprite(5, 9, ARROW_LEFT)
    img.sprite(17, 16, HAND)
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
    write_icon(os.path.join(folder, "nystra.ico"), [program_icon_32(), program_icon_16()])
    write_icon(os.path.join(folder, "released.ico"), [released_icon()])
    write_icon(os.path.join(folder, "active.ico"), [active_icon()])
    write_icon(os.path.join(folder, "request.ico"), [request_icon()])


if __name__ == "__main__":
    main()
