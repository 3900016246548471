#!/usr/bin/env python3
"""Draws Cordane's program icon and writes it as a 16-colour .ico file.

    make_icon.py [OUTPUT_FOLDER]      (default: the folder of this script)

The .ico file is committed; run this again after changing the drawing.
128: the program: a screen listing two panel rows (a name bar and a mode
     mark each) with a yellow pencil writing on it (32x32 and 16x16).
"""
import os
import sys

# The 16-colour image and the .ico writer of Nystra's icon script.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "nystra", "icons"))
from make_icons import Image, write_icon  # noqa: E402

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


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    write_icon(os.path.join(folder, "cordane.ico"), [program_icon_32(), program_icon_16()])


if __name__ == "__main__":
    main()
