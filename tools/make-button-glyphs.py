#!/usr/bin/env python3
"""Writes the skinned buttons' kind glyphs into resources/bitmaps/buttons/.

Each glyph is a 32 x 16 Windows bitmap (24 bits a pixel) of two 16 x 16
cells: the picture, then the same picture disabled (grey, with a white
shadow one pixel down and right). The olive background is the colour the
buttons leave out (they take it from the bottom-left pixel).

Run it again after changing a picture; the bitmaps are kept in the
repository, so a build needs no Python.
"""
import os
import struct
import sys

BACKGROUND = (128, 128, 0)
GREY = (128, 128, 128)
WHITE = (255, 255, 255)

# One letter a colour; "." is the background.
PALETTE = {
    "g": (0, 128, 0),
    "G": (0, 192, 0),
    "r": (192, 0, 0),
    "R": (255, 64, 64),
    "b": (0, 0, 160),
    "B": (64, 128, 255),
    "y": (224, 192, 0),
    "k": (0, 0, 0),
    "w": (255, 255, 255),
    "n": (128, 64, 0),
    "s": (192, 192, 192),
}

PICTURES = {
    "ok": [
        "................",
        "................",
        "...........gg...",
        "..........ggg...",
        ".........ggg....",
        "........ggg.....",
        "..gg...ggg......",
        "..ggg.ggg.......",
        "...ggggg........",
        "....ggg.........",
        ".....g..........",
        "................",
        "................",
        "................",
        "................",
        "................",
    ],
    "cancel": [
        "................",
        "................",
        "...rr......rr...",
        "...rrr....rrr...",
        "....rrr..rrr....",
        ".....rrrrrr.....",
        "......rrrr......",
        "......rrrr......",
        ".....rrrrrr.....",
        "....rrr..rrr....",
        "...rrr....rrr...",
        "...rr......rr...",
        "................",
        "................",
        "................",
        "................",
    ],
    "help": [
        "................",
        "......bbbb......",
        ".....bbbbbb.....",
        "....bb....bb....",
        "....bb....bb....",
        "..........bb....",
        ".........bb.....",
        "........bb......",
        ".......bb.......",
        ".......bb.......",
        ".......bb.......",
        "................",
        ".......bb.......",
        ".......bb.......",
        "................",
        "................",
    ],
    "yes": [
        "................",
        ".....GGGGGG.....",
        "...GG......GG...",
        "..G..........G..",
        "..G.......gg.G..",
        ".G.......ggg..G.",
        ".G..gg..ggg...G.",
        ".G..ggggggg...G.",
        ".G...ggggg....G.",
        ".G....ggg.....G.",
        "..G....g.....G..",
        "..G..........G..",
        "...GG......GG...",
        ".....GGGGGG.....",
        "................",
        "................",
    ],
    "no": [
        "................",
        ".....RRRRRR.....",
        "...RR......RR...",
        "..RR........R...",
        "..R.RR.......R..",
        ".R...RR......R..",
        ".R....RR.....R..",
        ".R.....RR....R..",
        ".R......RR...R..",
        ".R.......RR..R..",
        "..R.......RR.R..",
        "..R........RR...",
        "...RR......RR...",
        ".....RRRRRR.....",
        "................",
        "................",
    ],
    "close": [
        "................",
        "...nnnnnnnnn....",
        "...n.......n....",
        "...n.......n....",
        "...n.......n....",
        "...n.......n....",
        "...n.......n....",
        "...n.....y.n....",
        "...n....yy.n....",
        "...n.......n....",
        "...n.......n....",
        "...n.......n....",
        "...n.......n....",
        "...nnnnnnnnn....",
        "................",
        "................",
    ],
    "abort": [
        "................",
        ".....rrrrrr.....",
        "....rrrrrrrr....",
        "...rrrrrrrrrr...",
        "..rrrrrrrrrrrr..",
        "..rrrrrrrrrrrr..",
        "..rrwwwwwwwwrr..",
        "..rrwwwwwwwwrr..",
        "..rrrrrrrrrrrr..",
        "..rrrrrrrrrrrr..",
        "...rrrrrrrrrr...",
        "....rrrrrrrr....",
        ".....rrrrrr.....",
        "................",
        "................",
        "................",
    ],
    "retry": [
        "................",
        ".........g......",
        ".....gggggg.....",
        "....ggggggg.....",
        "...gg...gg......",
        "..gg.....g......",
        "..gg............",
        "..gg.........gg.",
        "..gg.........gg.",
        "......g.....gg..",
        "......gg...gg...",
        ".....ggggggg....",
        ".....gggggg.....",
        "......g.........",
        "................",
        "................",
    ],
    "ignore": [
        "................",
        "................",
        "................",
        "..b.....b.......",
        "..bb....bb......",
        "...bb....bb.....",
        "....bb....bb....",
        ".....bb....bb...",
        ".....bb....bb...",
        "....bb....bb....",
        "...bb....bb.....",
        "..bb....bb......",
        "..b.....b.......",
        "................",
        "................",
        "................",
    ],
    "all": [
        "................",
        "................",
        "..............g.",
        ".......g.....gg.",
        "......gg....gg..",
        ".....gg....gg...",
        ".g..gg..g.gg....",
        ".gggg...gggg....",
        "..gg.....gg.....",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
    ],
}


def cells(picture):
    """The 32 x 16 pixels (rows top first) of a picture and its disabled twin."""
    rows = [[BACKGROUND] * 32 for _ in range(16)]
    for y, line in enumerate(picture):
        assert len(line) == 16, (y, line)
        for x, letter in enumerate(line):
            if letter == ".":
                continue
            rows[y][x] = PALETTE[letter]
            # The disabled cell: a white shadow below and right, the shape grey.
            if x + 1 < 16 and y + 1 < 16:
                rows[y + 1][16 + x + 1] = WHITE
    for y, line in enumerate(picture):
        for x, letter in enumerate(line):
            if letter != ".":
                rows[y][16 + x] = GREY
    return rows


def bmp(rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        pixels += line
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(pixels), 0, 0, 14 + len(header))
    return file_header + header + bytes(pixels)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = os.path.join(root, "resources", "bitmaps", "buttons")
    os.makedirs(out, exist_ok=True)
    for name, picture in PICTURES.items():
        rows = cells(picture)
        assert rows[15][0] == BACKGROUND
        with open(os.path.join(out, name + ".bmp"), "wb") as f:
            f.write(bmp(rows))
    return 0


if __name__ == "__main__":
    sys.exit(main())
