#!/usr/bin/env python3
"""Draws the two pictures of Palvine's window and writes them as 16-colour
.ico files (32x32), with the .ico writer of Nystra's icon script.

    make_icons.py [OUTPUT_FOLDER]      (default: the folder of this script)

The real pictures are the user's own files "left.ico" and "right.ico" in the
program's folder; these stand in for them in the demo and the tests.
left.ico:  a mouse with its left button lit blue (the one-shot disarmed).
right.ico: a mouse with its right button lit red (the one-shot armed).
The lit button's middle pixel (8, 8 for left, 23, 8 for right) is what the
end-to-end tests look at.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "nystra", "icons"))
from make_icons import Image, write_icon  # noqa: E402


def mouse(lit_left, lit_right):
    img = Image(32)
    # Body: an outlined, rounded block; the cable leaves from the top.
    img.rect(15, 0, 16, 2, "k")
    img.rect(4, 3, 27, 30, "k")
    for x, y in ((4, 3), (27, 3), (4, 30), (27, 30), (5, 3), (26, 3), (4, 4), (27, 4)):
        img.pixels[y][x] = "."
    img.rect(5, 4, 26, 29, "s")
    img.rect(5, 15, 26, 15, "k")  # the buttons' lower edge
    img.rect(15, 4, 16, 15, "k")  # between the buttons
    img.rect(5, 4, 14, 14, lit_left)
    img.rect(17, 4, 26, 14, lit_right)
    img.rect(15, 7, 16, 10, "d")  # the wheel
    img.rect(8, 20, 23, 20, "d")
    img.rect(10, 24, 21, 24, "d")
    return img


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    write_icon(os.path.join(folder, "left.ico"), [mouse("b", "w")])
    write_icon(os.path.join(folder, "right.ico"), [mouse("w", "r")])


if __name__ == "__main__":
    main()
