#!/usr/bin/env python3
"""Writes the image strips of the dialog library's lists: one cell per list item, white
(or cyan for the font kinds) where the image is transparent. Run it again after changing
a picture; the .bmp files it writes are what the resource script includes."""
import struct
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def write_bmp(path, width, height, pixel):
    row = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        line += b"\0" * (row - width * 3)
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


PALETTE = [(0, 0, 0), (192, 0, 0), (0, 128, 0), (0, 0, 192), (0, 128, 128), (128, 0, 128),
           (160, 96, 0), (64, 64, 64), (0, 96, 192)]


def strip(name, count, cell=32, height=32, background=(255, 255, 255)):
    """A strip of `count` cells, cell i showing i + 1 bars in its own colour."""
    def pixel(x, y):
        i, cx = divmod(x, cell)
        colour = PALETTE[i % len(PALETTE)]
        bars = i + 1
        if 4 <= y < height - 4 and 4 <= cx < cell - 4:
            slot = (cx - 4) * bars // (cell - 8)
            left = 4 + slot * (cell - 8) // bars
            if cx - left < max(1, (cell - 8) // bars - 1):
                return colour
        return background
    write_bmp(os.path.join(HERE, name), cell * count, height, pixel)


# Scale types, rescale modes, tick types per side, the axis selections.
strip("scaletypes.bmp", 9)
strip("rescale.bmp", 5)
for n in (403, 404, 405, 406):
    strip("ticks%d.bmp" % n, 4)
strip("axes2d.bmp", 4)
strip("axes3d.bmp", 6)
strip("axes2dlabels.bmp", 4)
strip("grids.bmp", 3)
strip("breakaxes.bmp", 2)
strip("scaleaxes.bmp", 3)
# Font kinds: TrueType, device, other; transparent where cyan.
strip("fontkinds.bmp", 3, background=(0, 255, 255))
# The text toolbar: Normal, bold, italic, underline, superscript, subscript, Greek.
strip("texttools.bmp", 7, cell=16, height=16, background=(192, 192, 192))
