#!/usr/bin/env python3
"""Writes the previews of the Line page's fill modes: a curve with a gap of missing values
and the area under it filled as the mode fills it. Run it again after changing a picture."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 84, 60


def write_bmp(path, pixel):
    row = (W * 3 + 3) & ~3
    data = bytearray()
    for y in range(H - 1, -1, -1):
        line = bytearray()
        for x in range(W):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        data += line + b"\0" * (row - W * 3)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def curve(x):
    return 20 + (x * 7 % 23)


GAP = range(36, 48)  # columns whose values are missing


def make(name, mode):
    def pixel(x, y):
        base = H - 6
        if x in GAP:
            top = None
        else:
            top = curve(x)
        if top is not None and abs(y - top) <= 1:
            return (0, 0, 0)
        filled = False
        if top is not None and top < y < base:
            filled = True
        elif x in GAP and mode == "normal":
            filled = 30 < y < base  # the area runs on across the gap
        elif x in GAP and mode == "inclusive":
            filled = False
        if mode == "exclusive" and x in range(32, 52):
            filled = False
        return (128, 128, 255) if filled else (255, 255, 255)
    write_bmp(os.path.join(HERE, name), pixel)


make("pdfillnormal.bmp", "normal")
make("pdfillinclusive.bmp", "inclusive")
make("pdfillexclusive.bmp", "exclusive")


def tree_images():
    """The tree's image strip, 16 pixels per image: open and closed page, layer (selected
    and not), plots of a group's begin, a member and single plots (selected and not), special
    points, error-bar plots and text plots."""
    cells = 24
    colours = {0: (128, 128, 0), 1: (128, 128, 0), 2: (0, 0, 160), 3: (0, 0, 160),
               10: (160, 0, 0), 11: (160, 0, 0)}
    def pixel(x, y):
        i, cx = divmod(x, 16)
        selected = i in (2, 10) or 4 <= i <= 6 or 12 <= i <= 14 or 18 <= i <= 20
        if i <= 1:   # page: a sheet, folded corner when open
            inside = 2 <= cx <= 13 and 2 <= y <= 13 and not (i == 0 and cx + y > 22)
            return (255, 255, 200) if inside and not (cx in (2, 13) or y in (2, 13)) else \
                   ((0, 0, 0) if inside else (255, 255, 255))
        if i in (2, 3):  # layer: a framed rectangle
            edge = cx in (1, 14) or y in (3, 12)
            fill = 1 < cx < 14 and 3 < y < 12
            return (0, 0, 160) if edge and 1 <= cx <= 14 and 3 <= y <= 12 else \
                   ((200, 220, 255) if selected and fill else (255, 255, 255))
        if i in (10, 11):  # special point: a dot
            return (160, 0, 0) if (cx - 8) ** 2 + (y - 8) ** 2 <= 9 else (255, 255, 255)
        # plots: a zig-zag line; the kind (group begin, member, single) marks the left edge
        kind = (i - 4) % 3
        family = (i - 4) // 6  # 0 plot, 1 error bar, 2 text
        colour = [(0, 0, 0), (0, 128, 0), (128, 0, 128)][min(family, 2)]
        zig = 12 - (cx % 8 if (cx // 8) % 2 == 0 else 8 - cx % 8)
        if abs(y - zig) <= 0 and 2 <= cx <= 14:
            return colour
        if cx == 0 and (kind == 0 and y < 8 or kind == 1 and 4 <= y < 12):
            return colour
        if selected and 1 <= cx <= 15 and y == 14:
            return (0, 0, 200)
        return (255, 255, 255)
    global W, H
    W, H = cells * 16, 16
    write_bmp(os.path.join(HERE, "pdtree.bmp"), pixel)


tree_images()
