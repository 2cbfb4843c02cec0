#!/usr/bin/env python3
"""Writes the 16-colour toolbar bitmaps of this folder from the pictures below.

Each picture is 16x15 characters; a bitmap is its pictures side by side. Characters name
colours of the standard 16-colour palette; '.' is the button face (light grey), which the
toolbar maps to the system's button colour. Run it after changing a picture and commit
the .bmp files it writes.
"""
import os
import struct

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255)]
# character -> palette index (RGB order above)
COLOURS = {'k': 0, 'm': 1, 'g': 2, 'o': 3, 'n': 4, 'p': 5, 't': 6, '.': 7, 'd': 8, 'r': 9,
           'G': 10, 'y': 11, 'b': 12, 'M': 13, 'c': 14, 'w': 15}


def write_bmp(path, pictures):
    width, height = 16 * len(pictures), 15
    for pic in pictures:
        assert len(pic) == height and all(len(row) == 16 for row in pic), pic
    stride = ((width * 4 + 31) // 32) * 4
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up
        pixels = [COLOURS[pic[y][x]] for pic in pictures for x in range(16)]
        if len(pixels) % 2:
            pixels.append(0)
        data = bytes((pixels[i] << 4) | pixels[i + 1] for i in range(0, len(pixels), 2))
        rows.append(data + b'\0' * (stride - len(data)))
    bits = b''.join(rows)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(bits), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, len(bits), 0, 0, 16, 0)
    with open(path, 'wb') as f:
        f.write(header + info + palette + bits)


P = {}

P['new_color'] = [
    "................",
    "................",
    ".kkkkkkkkk......",
    ".krrrrrrrk......",
    ".krrrrrrrk......",
    ".krrrrrrrk......",
    ".krrrrrrrk..kk..",
    ".krrrrrrrk..kk..",
    ".kkkkkkkkk.kkkkk",
    "...........kkkkk",
    "............kk..",
    "............kk..",
    "................",
    "................",
    "................"]
P['delete_color'] = [
    "................",
    "................",
    ".kkkkkkkkk......",
    ".kbbbbbbbk......",
    ".kbbbbbbbk......",
    ".kbbbbbbbk......",
    ".kbbbbbbbkr...r.",
    ".kbbbbbbbk.r.r..",
    ".kkkkkkkkk..r...",
    "...........r.r..",
    "..........r...r.",
    "................",
    "................",
    "................",
    "................"]
P['move_up'] = [
    "................",
    ".......kk.......",
    "......kggk......",
    ".....kggggk.....",
    "....kggggggk....",
    "...kggggggggk...",
    "..kkkkggggkkkk..",
    ".....kggggk.....",
    ".....kggggk.....",
    ".....kggggk.....",
    ".....kggggk.....",
    ".....kggggk.....",
    ".....kkkkkk.....",
    "................",
    "................"]
P['move_down'] = [row for row in reversed(P['move_up'][:14])] + ["................"]

BITMAPS = {
    'palette.bmp': ['new_color', 'delete_color', 'move_up', 'move_down'],
}

if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    for name, pictures in BITMAPS.items():
        write_bmp(os.path.join(here, name), [P[p] for p in pictures])
