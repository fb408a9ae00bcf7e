#!/usr/bin/env python3
"""Writes the picture window's mask and puts it into its form resource.

The mask is a 302 x 202 Windows bitmap (1 bit a pixel): a rectangle with
rounded corners of radius 24, white inside, magenta outside. Magenta marks
what lies outside the window, so the window takes this shape; it is as big
as the window (the client area of 300 x 200 and a border of one pixel), and
the window takes the mask's size.

The bitmap goes to resources/bitmaps/PictureMask.bmp and, as "Mask.Data",
into the frame MpMediaForm1 of resources/forms/TForm10.form (replacing the
block that is there). Run it again after changing the shape; both files are
kept in the repository, so a build needs no Python.
"""
import os
import re
import struct
import sys

WIDTH, HEIGHT, RADIUS = 302, 202, 24
MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)


def inside(x, y):
    """Whether the pixel whose centre is (x + 0.5, y + 0.5) lies in the shape."""
    cx, cy = x + 0.5, y + 0.5
    # The nearest point of the inner rectangle whose corners are the arcs' centres.
    nx = min(max(cx, RADIUS), WIDTH - RADIUS)
    ny = min(max(cy, RADIUS), HEIGHT - RADIUS)
    return (cx - nx) ** 2 + (cy - ny) ** 2 <= RADIUS * RADIUS


def bmp():
    stride = ((WIDTH + 31) // 32) * 4
    pixels = bytearray()
    for y in reversed(range(HEIGHT)):  # bottom-up
        line = bytearray(stride)
        for x in range(WIDTH):
            if inside(x, y):
                line[x // 8] |= 0x80 >> (x % 8)
        pixels += line
    palette = bytes((MAGENTA[2], MAGENTA[1], MAGENTA[0], 0, WHITE[2], WHITE[1], WHITE[0], 0))
    header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 1, 0, len(pixels), 2835, 2835, 2, 2)
    offset = 14 + len(header) + len(palette)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return file_header + header + palette + bytes(pixels)


def data_block(data, indent):
    text = data.hex().upper()
    lines = [text[i:i + 96] for i in range(0, len(text), 96)]
    pad = " " * (indent + 4)
    return "Mask.Data = {\n" + "\n".join(pad + line for line in lines) + "}"


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    data = bmp()
    with open(os.path.join(root, "resources", "bitmaps", "PictureMask.bmp"), "wb") as f:
        f.write(data)
    form_path = os.path.join(root, "resources", "forms", "TForm10.form")
    with open(form_path) as f:
        form = f.read()
    pattern = re.compile(r"^( *)Mask\.Data = \{[^}]*\}", re.M)
    match = pattern.search(form)
    if not match:
        print("TForm10.form has no Mask.Data block to fill", file=sys.stderr)
        return 1
    block = data_block(data, len(match.group(1)))
    form = form[:match.start()] + match.group(1) + block + form[match.end():]
    with open(form_path, "w") as f:
        f.write(form)
    return 0


if __name__ == "__main__":
    sys.exit(main())
