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


# ---- drawing on a 16x15 grid, for pictures built from common parts ----------------------

def blank():
    return [['.'] * 16 for _ in range(15)]


def rect(g, l, t, r, b, edge='k', fill=None):
    for y in range(t, b + 1):
        for x in range(l, r + 1):
            if y in (t, b) or x in (l, r):
                g[y][x] = edge
            elif fill:
                g[y][x] = fill


def line(g, x0, y0, x1, y1, c):
    n = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(n + 1):
        g[round(y0 + (y1 - y0) * i / n)][round(x0 + (x1 - x0) * i / n)] = c


def text(g, rows, l, t):
    for dy, row in enumerate(rows):
        for dx, ch in enumerate(row):
            if ch != ' ':
                g[t + dy][l + dx] = ch


def page(g, l=2, t=1, r=12, b=13):
    rect(g, l, t, r, b, 'k', 'w')


def sheet(g, l=1, t=1, r=13, b=13):  # a worksheet: a grid with a grey header row
    rect(g, l, t, r, b, 'k', 'w')
    for x in range(l + 1, r):
        g[t + 1][x] = 'd'
    for x in range(l + 4, r, 4):
        for y in range(t + 1, b):
            g[y][x] = 'd'
    for y in range(t + 4, b, 3):
        for x in range(l + 1, r):
            g[y][x] = 'd'


def graph(g, l=1, t=1, r=13, b=13):  # a graph page: axes and a red curve
    page(g, l, t, r, b)
    line(g, l + 2, t + 2, l + 2, b - 2, 'k')
    line(g, l + 2, b - 2, r - 2, b - 2, 'k')
    line(g, l + 3, b - 4, l + 6, t + 5, 'r')
    line(g, l + 6, t + 5, r - 2, t + 3, 'r')


def star(g, x=12, y=2):  # "new": a small yellow spark in a corner
    for dx, dy in ((0, 0), (-1, 0), (1, 0), (0, -1), (0, 1)):
        if 0 <= x + dx < 16 and 0 <= y + dy < 15:
            g[y + dy][x + dx] = 'y'
    g[y][x] = 'o'


def folder(g, l=1, t=4, r=13, b=12):
    rect(g, l, t, r, b, 'k', 'y')
    for x in range(l, l + 5):
        g[t - 1][x] = 'k'
    for x in range(l + 1, r):
        g[t + 1][x] = 'o'


def disk(g, l=2, t=1, r=13, b=13):
    rect(g, l, t, r, b, 'k', 'n')
    rect(g, l + 2, t, r - 2, t + 4, 'k', 'w')
    rect(g, l + 3, b - 4, r - 3, b, 'k', 'd')


def arrow_down(g, x, t, b, c='G'):
    line(g, x, t, x, b, c)
    line(g, x - 2, b - 2, x, b, c)
    line(g, x + 2, b - 2, x, b, c)


def grid_dots(g, l, t, r, b, c):
    for y in range(t, b + 1, 2):
        for x in range(l, r + 1, 2):
            g[y][x] = c


def pic(*steps):
    g = blank()
    for step in steps:
        step(g)
    return [''.join(row) for row in g]


P['new_project'] = pic(lambda g: folder(g, 1, 5, 12, 13), lambda g: star(g, 13, 2))
P['new_worksheet'] = pic(lambda g: sheet(g, 1, 2, 12, 13), lambda g: star(g, 13, 2))
P['new_excel'] = pic(lambda g: sheet(g, 1, 2, 12, 13),
                     lambda g: text(g, ["g g", " g ", "g g"], 5, 7), lambda g: star(g, 13, 2))
P['new_graph'] = pic(lambda g: graph(g, 1, 2, 12, 13), lambda g: star(g, 13, 2))
P['new_matrix'] = pic(lambda g: rect(g, 1, 2, 12, 13, 'k', 'w'), lambda g: grid_dots(g, 3, 4, 10, 11, 'b'),
                      lambda g: star(g, 13, 2))
P['new_function'] = pic(lambda g: page(g, 1, 2, 12, 13),
                        lambda g: text(g, [" nn ", "n   ", "nnn ", "n   ", "n   ", "n   "], 3, 5),
                        lambda g: text(g, ["n n", " n ", "n n"], 7, 8), lambda g: star(g, 13, 2))
P['new_layout'] = pic(lambda g: page(g, 1, 2, 12, 13), lambda g: rect(g, 3, 4, 6, 7, 'r', 'w'),
                      lambda g: rect(g, 7, 8, 10, 11, 'b', 'w'), lambda g: star(g, 13, 2))
P['new_notes'] = pic(lambda g: page(g, 2, 2, 12, 13),
                     lambda g: [line(g, 4, y, 10, y, 'd') for y in (5, 7, 9, 11)], lambda g: star(g, 13, 2))
P['new_editor'] = pic(lambda g: page(g, 2, 2, 12, 13),
                      lambda g: [line(g, 4, y, 4 + w, y, 'n') for y, w in ((5, 4), (7, 6), (9, 3), (11, 5))],
                      lambda g: star(g, 13, 2))
P['open'] = pic(lambda g: folder(g, 1, 5, 13, 13), lambda g: line(g, 9, 1, 14, 1, 'G'),
                lambda g: line(g, 14, 1, 14, 4, 'G'), lambda g: line(g, 12, 3, 14, 4, 'G'))
P['open_template'] = pic(lambda g: folder(g, 1, 5, 13, 13), lambda g: rect(g, 9, 0, 14, 5, 'k', 'c'))
P['open_excel'] = pic(lambda g: folder(g, 1, 5, 13, 13), lambda g: text(g, ["g g", " g ", "g g"], 6, 8))
P['save'] = pic(disk)
P['save_template'] = pic(lambda g: disk(g, 1, 1, 11, 13), lambda g: rect(g, 10, 6, 15, 13, 'k', 'c'))
P['import_ascii'] = pic(lambda g: sheet(g, 1, 5, 12, 14), lambda g: arrow_down(g, 12, 0, 6))
P['import_multiple'] = pic(lambda g: rect(g, 3, 3, 13, 13, 'k', 'w'), lambda g: sheet(g, 1, 5, 11, 14),
                           lambda g: arrow_down(g, 13, 0, 5))
P['print'] = pic(lambda g: rect(g, 4, 1, 11, 6, 'k', 'w'), lambda g: rect(g, 1, 6, 14, 11, 'k', 'd'),
                 lambda g: rect(g, 4, 10, 11, 14, 'k', 'w'), lambda g: line(g, 12, 8, 12, 8, 'G'))
P['refresh'] = pic(lambda g: text(g, ["   GGGG  ", "  G    G ", " G      G", " G       ", " G     G ",
                                     "  G   GGG", "   GGG  G", "         "], 3, 3),
                   lambda g: line(g, 11, 6, 13, 6, 'G'))
P['duplicate'] = pic(lambda g: rect(g, 1, 1, 9, 10, 'k', 'w'), lambda g: rect(g, 5, 4, 13, 13, 'k', 'c'))
P['custom_routine'] = pic(lambda g: text(g, ["   kk   ", "  kyyk  ", " kyyyyk ", "kyyyyyyk", " kyyyyk ",
                                            "  kyyk  ", "   kk   "], 4, 4))
P['explorer'] = pic(lambda g: rect(g, 1, 1, 14, 13, 'k', 'w'), lambda g: rect(g, 1, 1, 14, 3, 'k', 'n'),
                    lambda g: rect(g, 3, 5, 6, 7, 'k', 'y'), lambda g: rect(g, 6, 9, 9, 11, 'k', 'y'),
                    lambda g: line(g, 4, 8, 4, 10, 'd'), lambda g: line(g, 4, 10, 5, 10, 'd'))
P['results_log'] = pic(lambda g: rect(g, 1, 1, 14, 13, 'k', 'w'), lambda g: rect(g, 1, 1, 14, 3, 'k', 'n'),
                       lambda g: [line(g, 3, y, 3 + w, y, 'k') for y, w in ((5, 8), (7, 5), (9, 9), (11, 6))])
P['script_window'] = pic(lambda g: rect(g, 1, 1, 14, 13, 'k', 'k'), lambda g: rect(g, 1, 1, 14, 3, 'k', 'n'),
                         lambda g: text(g, ["G  ", " G ", "G  "], 3, 6), lambda g: line(g, 7, 8, 10, 8, 'G'))
P['add_columns'] = pic(lambda g: sheet(g, 1, 1, 9, 13), lambda g: line(g, 12, 4, 12, 10, 'k'),
                       lambda g: line(g, 9, 7, 15, 7, 'k'), lambda g: line(g, 11, 4, 11, 10, 'k'),
                       lambda g: line(g, 9, 6, 15, 6, 'k'))


def axes(g):  # the axes of a small plot, with room above and to the right
    line(g, 2, 1, 2, 13, 'k')
    line(g, 2, 13, 15, 13, 'k')


def points(g, pts, c='b'):
    for x, y in pts:
        rect(g, x - 1, y - 1, x, y, c, c)


def polyline(g, pts, c='r'):
    for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
        line(g, x0, y0, x1, y1, c)


CURVE = [(3, 11), (6, 7), (9, 8), (12, 4), (15, 2)]
P['plot_line'] = pic(axes, lambda g: polyline(g, CURVE))
P['plot_scatter'] = pic(axes, lambda g: points(g, [(5, 10), (8, 7), (11, 8), (14, 3), (7, 4)]))
P['plot_line_symbol'] = pic(axes, lambda g: polyline(g, CURVE), lambda g: points(g, CURVE[1:4], 'b'))
P['plot_bar'] = pic(axes, lambda g: rect(g, 3, 2, 9, 4, 'k', 'r'), lambda g: rect(g, 3, 6, 13, 8, 'k', 'r'),
                    lambda g: rect(g, 3, 10, 7, 12, 'k', 'r'))
P['plot_column'] = pic(axes, lambda g: rect(g, 4, 7, 6, 12, 'k', 'r'), lambda g: rect(g, 8, 3, 10, 12, 'k', 'r'),
                       lambda g: rect(g, 12, 9, 14, 12, 'k', 'r'))
P['plot_pie'] = pic(lambda g: text(g, ["    kkkkk    ", "  kkrrrrrkk  ", " krrrrrrrrrk ", " krrrrrrrrrk ",
                                       "kyyyyyyrrrrrk", "kyyyyyykbbbbk", "kyyyyykbbbbbk", " kyyyykbbbbk ",
                                       " kyyyykbbbbk ", "  kkyykbbkk  ", "    kkkkk    "], 1, 2))
P['plot_area'] = pic(axes, lambda g: [line(g, x, 12, x, y, 'G') for x, y in
                                      ((3, 11), (4, 10), (5, 8), (6, 7), (7, 7), (8, 8), (9, 8), (10, 7), (11, 5),
                                       (12, 4), (13, 3), (14, 3), (15, 2))])
P['plot_fill_area'] = pic(axes, lambda g: [line(g, x, b, x, t, 'c') for x, t, b in
                                           ((4, 8, 11), (6, 6, 11), (8, 5, 10), (10, 4, 9), (12, 3, 8), (14, 2, 6))],
                          lambda g: polyline(g, [(4, 8), (8, 5), (14, 2)], 'n'),
                          lambda g: polyline(g, [(4, 11), (10, 9), (14, 6)], 'n'))
P['plot_polar'] = pic(lambda g: text(g, ["    kkkkkk    ", "  kk      kk  ", " k    k     k ", "k     k   r  k",
                                         "k     k  r   k", "kkkkkkkkrkkkkk", "k     kr     k", "k     r      k",
                                         " k   rk     k ", "  kk  k   kk  ", "    kkkkkk    "], 1, 2))
P['plot_ternary'] = pic(lambda g: line(g, 1, 13, 14, 13, 'k'), lambda g: line(g, 1, 13, 7, 1, 'k'),
                        lambda g: line(g, 14, 13, 8, 1, 'k'), lambda g: points(g, [(6, 9), (9, 10), (8, 6)]))
P['plot_hilo'] = pic(axes, lambda g: [(line(g, x, t, x, b, 'k'), line(g, x, c, x + 1, c, 'k'))
                                      for x, t, b, c in ((4, 6, 11, 8), (7, 3, 9, 5), (10, 5, 12, 9), (13, 2, 7, 4))])
P['plot_vector_xyam'] = pic(axes, lambda g: [(line(g, x, y, x + 3, y - 3, 'r'), line(g, x + 1, y - 3, x + 3, y - 3, 'r'))
                                             for x, y in ((4, 11), (8, 9), (11, 7))])
P['plot_vector_xyxy'] = pic(axes, lambda g: [(line(g, x0, y0, x1, y1, 'b'), rect(g, x1, y1, x1, y1, 'r'))
                                             for x0, y0, x1, y1 in ((4, 11, 7, 6), (8, 11, 13, 8), (9, 5, 14, 3))])
P['plot_template'] = pic(lambda g: page(g, 1, 1, 12, 13), lambda g: line(g, 3, 3, 3, 11, 'k'),
                         lambda g: line(g, 3, 11, 10, 11, 'k'), lambda g: polyline(g, [(4, 9), (7, 5), (10, 4)], 'r'),
                         lambda g: rect(g, 10, 8, 15, 13, 'k', 'c'))

P['wks_stats_col'] = pic(lambda g: sheet(g, 1, 1, 13, 13), lambda g: rect(g, 5, 2, 9, 12, 'r'))
P['wks_stats_row'] = pic(lambda g: sheet(g, 1, 1, 13, 13), lambda g: rect(g, 1, 4, 13, 7, 'r'))
P['wks_sort'] = pic(lambda g: text(g, ["nn ", "n n", "nnn", "n n"], 1, 1), lambda g: text(g, ["nnn", "  n", " n ", "nnn"], 1, 9),
                    lambda g: arrow_down(g, 11, 1, 13, 'k'))
P['wks_set_values'] = pic(lambda g: sheet(g, 1, 3, 13, 14), lambda g: text(g, ["nnn", "n  ", "nn ", "n  "], 10, 0),
                          lambda g: text(g, ["n n", " n ", "n n"], 13, 2))
P['wks_row_numbers'] = pic(lambda g: sheet(g, 3, 1, 14, 13),
                           lambda g: text(g, [" k", "kk", " k", " k", " k", "  ", "kk", "  k", " k ", "kkk"], 0, 2))
P['wks_uniform'] = pic(lambda g: sheet(g, 1, 1, 13, 13), lambda g: [rect(g, x, 12 - h, x + 1, 12, 'b', 'b')
                                                                    for x, h in ((3, 6), (6, 6), (9, 6))])
P['wks_normal'] = pic(lambda g: sheet(g, 1, 1, 13, 13), lambda g: [rect(g, x, 12 - h, x + 1, 12, 'b', 'b')
                                                                   for x, h in ((3, 2), (6, 8), (9, 3))])

P['layout_add_graph'] = pic(lambda g: page(g, 1, 1, 14, 13), lambda g: graph(g, 3, 3, 12, 11))
P['layout_add_worksheet'] = pic(lambda g: page(g, 1, 1, 14, 13), lambda g: sheet(g, 3, 3, 12, 11))

P['cut'] = pic(lambda g: text(g, ["  k     k  ", "  k     k  ", "   k   k   ", "    k k    ", "     k     ",
                                  "    k k    ", "  nnn nnn  ", " n  n n  n ", " n  n n  n ", "  nn   nn  "], 2, 2))
P['copy'] = pic(lambda g: rect(g, 1, 1, 9, 10, 'k', 'w'), lambda g: rect(g, 6, 4, 14, 13, 'k', 'w'),
                lambda g: [line(g, 8, y, 12, y, 'n') for y in (7, 9, 11)])
P['paste'] = pic(lambda g: rect(g, 2, 2, 11, 13, 'k', 'o'), lambda g: rect(g, 5, 1, 8, 3, 'k', 'd'),
                 lambda g: rect(g, 7, 6, 14, 14, 'k', 'w'), lambda g: [line(g, 9, y, 12, y, 'n') for y in (9, 11)])

P['zoom_in'] = pic(lambda g: text(g, ["   kkkk   ", "  k    k  ", " k  k   k ", " k kkk  k ", " k  k   k ",
                                      "  k    k  ", "   kkkkk  ", "        kk", "         kk"], 1, 1))
P['zoom_out'] = pic(lambda g: text(g, ["   kkkk   ", "  k    k  ", " k       k", " k kkk  k ", " k       k",
                                       "  k    k  ", "   kkkkk  ", "        kk", "         kk"], 1, 1))
P['whole_page'] = pic(lambda g: page(g, 3, 1, 12, 13), lambda g: rect(g, 5, 3, 10, 11, 'b'))
P['rescale'] = pic(axes, lambda g: polyline(g, CURVE), lambda g: line(g, 12, 14, 15, 14, 'G'),
                   lambda g: line(g, 0, 1, 0, 4, 'G'))
P['extract_layers'] = pic(lambda g: rect(g, 1, 1, 14, 6, 'k', 'w'), lambda g: rect(g, 1, 8, 14, 13, 'k', 'w'),
                          lambda g: polyline(g, [(2, 5), (7, 2), (13, 3)], 'r'),
                          lambda g: polyline(g, [(2, 12), (7, 10), (13, 9)], 'b'))
P['extract_graphs'] = pic(lambda g: rect(g, 1, 1, 8, 8, 'k', 'w'), lambda g: rect(g, 7, 6, 14, 13, 'k', 'w'),
                          lambda g: polyline(g, [(2, 7), (7, 2)], 'r'), lambda g: polyline(g, [(8, 12), (13, 8)], 'b'))
P['merge'] = pic(lambda g: rect(g, 1, 1, 6, 5, 'k', 'w'), lambda g: rect(g, 9, 1, 14, 5, 'k', 'w'),
                 lambda g: rect(g, 3, 8, 12, 13, 'k', 'w'), lambda g: arrow_down(g, 4, 5, 8), lambda g: arrow_down(g, 11, 5, 8))
P['color_scale'] = pic(lambda g: [rect(g, 5, y, 10, y + 2, 'k', c) for y, c in ((1, 'r'), (4, 'y'), (7, 'G'), (10, 'b'))])
P['new_legend'] = pic(lambda g: rect(g, 1, 2, 14, 12, 'k', 'w'), lambda g: line(g, 3, 5, 6, 5, 'r'),
                      lambda g: line(g, 3, 9, 6, 9, 'b'), lambda g: line(g, 8, 5, 12, 5, 'k'), lambda g: line(g, 8, 9, 12, 9, 'k'))
P['xy_scale'] = pic(lambda g: line(g, 3, 2, 3, 12, 'k'), lambda g: line(g, 3, 12, 14, 12, 'k'),
                    lambda g: [line(g, 1, y, 3, y, 'k') for y in (4, 8)], lambda g: [line(g, x, 12, x, 14, 'k') for x in (7, 11)])
P['date_time'] = pic(lambda g: text(g, ["    kkkkk    ", "  kkwwwwwkk  ", " kwwwwkwwwwk ", " kwwwwkwwwwk ",
                                        "kwwwwwkwwwwwk", "kwwwwwkkkkwwk", "kwwwwwwwwwwwk", " kwwwwwwwwwk ",
                                        " kwwwwwwwwwk ", "  kkwwwwwkk  ", "    kkkkk    "], 1, 2))


LETTERS = {
    'X': ["k   k", " k k ", "  k  ", " k k ", "k   k"],
    'Y': ["k   k", " k k ", "  k  ", "  k  ", "  k  "],
    'Z': ["kkkkk", "   k ", "  k  ", " k   ", "kkkkk"],
    'L': ["k    ", "k    ", "k    ", "k    ", "kkkkk"],
    'E': ["kkkkk", "k    ", "kkkk ", "k    ", "kkkkk"],
}


def column_header(g, letter, extra=None):  # a column with its designation in the header
    rect(g, 3, 0, 12, 14, 'k', 'w')
    rect(g, 3, 0, 12, 6, 'k', 'c')
    text(g, LETTERS[letter], 5, 1)
    for y in (9, 12):
        line(g, 4, y, 11, y, 'd')
    if extra:
        extra(g)


def two_columns(g, selected):  # two columns, the selected one blue
    for i, l in enumerate((2, 8)):
        rect(g, l, 1, l + 5, 13, 'k', 'n' if i == selected else 'w')


def arrow_h(g, y, x0, x1, c='G'):
    line(g, x0, y, x1, y, c)
    d = 1 if x1 > x0 else -1
    line(g, x1 - 2 * d, y - 2, x1, y, c)
    line(g, x1 - 2 * d, y + 2, x1, y, c)


P['col_x'] = pic(lambda g: column_header(g, 'X'))
P['col_y'] = pic(lambda g: column_header(g, 'Y'))
P['col_z'] = pic(lambda g: column_header(g, 'Z'))
P['col_yerr'] = pic(lambda g: column_header(g, 'E'))
P['col_label'] = pic(lambda g: column_header(g, 'L'))
P['col_disregard'] = pic(lambda g: column_header(g, 'X'), lambda g: line(g, 2, 14, 13, 0, 'r'),
                         lambda g: line(g, 3, 14, 14, 0, 'r'))
P['col_first'] = pic(lambda g: two_columns(g, 1), lambda g: line(g, 1, 0, 1, 14, 'k'), lambda g: arrow_h(g, 7, 14, 2))
P['col_left'] = pic(lambda g: two_columns(g, 1), lambda g: arrow_h(g, 7, 12, 4))
P['col_right'] = pic(lambda g: two_columns(g, 0), lambda g: arrow_h(g, 7, 3, 11))
P['col_last'] = pic(lambda g: two_columns(g, 0), lambda g: line(g, 14, 0, 14, 14, 'k'), lambda g: arrow_h(g, 7, 1, 13))

MASKED = [(4, 10), (7, 6), (10, 8), (13, 3)]
P['mask_point'] = pic(axes, lambda g: points(g, MASKED, 'b'), lambda g: points(g, [(7, 6)], 'r'))
P['mask_range'] = pic(axes, lambda g: points(g, MASKED, 'b'), lambda g: points(g, MASKED[1:3], 'r'),
                      lambda g: rect(g, 5, 4, 11, 10, 'd'))
P['unmask_range'] = pic(axes, lambda g: points(g, MASKED, 'b'), lambda g: rect(g, 5, 4, 11, 10, 'd'))
P['mask_swap'] = pic(axes, lambda g: points(g, MASKED[::2], 'r'), lambda g: points(g, MASKED[1::2], 'b'),
                     lambda g: line(g, 6, 1, 12, 1, 'k'))
P['mask_color'] = pic(axes, lambda g: points(g, MASKED, 'b'), lambda g: points(g, [(7, 6)], 'M'),
                      lambda g: rect(g, 11, 9, 15, 12, 'k', 'M'))
P['mask_hide'] = pic(axes, lambda g: points(g, [MASKED[0], MASKED[3]], 'b'), lambda g: rect(g, 6, 5, 7, 6, 'd'))
P['mask_disable'] = pic(axes, lambda g: points(g, MASKED, 'r'), lambda g: line(g, 3, 12, 15, 1, 'k'))


def box3d(g):  # a small cube, the 3D layer's box
    rect(g, 2, 5, 10, 13, 'k', 'w')
    line(g, 2, 5, 6, 1, 'k')
    line(g, 10, 5, 14, 1, 'k')
    line(g, 6, 1, 14, 1, 'k')
    line(g, 10, 13, 14, 9, 'k')
    line(g, 14, 1, 14, 9, 'k')


P['rot_ccw'] = pic(lambda g: text(g, ["   kkkkk   ", "  k     k  ", " k       k ", "k         k", "k         k",
                                      " k       k ", "  k     k  ", "   kkkkk   "], 2, 4),
                   lambda g: text(g, ["rrr ", "r   ", " r  "], 1, 1), lambda g: line(g, 1, 1, 5, 4, 'r'))
P['rot_cw'] = pic(lambda g: text(g, ["   kkkkk   ", "  k     k  ", " k       k ", "k         k", "k         k",
                                     " k       k ", "  k     k  ", "   kkkkk   "], 2, 4),
                  lambda g: text(g, [" rrr", "   r", "  r "], 11, 1), lambda g: line(g, 14, 1, 10, 4, 'r'))
P['tilt_left'] = pic(box3d, lambda g: line(g, 4, 14, 0, 10, 'r'), lambda g: line(g, 0, 10, 0, 12, 'r'),
                     lambda g: line(g, 0, 10, 2, 10, 'r'))
P['tilt_right'] = pic(box3d, lambda g: line(g, 11, 14, 15, 10, 'r'), lambda g: line(g, 15, 10, 15, 12, 'r'),
                      lambda g: line(g, 15, 10, 13, 10, 'r'))
P['tilt_down'] = pic(box3d, lambda g: arrow_down(g, 6, 7, 12, 'r'))
P['tilt_up'] = pic(box3d, lambda g: line(g, 6, 7, 6, 12, 'r'), lambda g: line(g, 4, 9, 6, 7, 'r'),
                   lambda g: line(g, 8, 9, 6, 7, 'r'))
P['persp_more'] = pic(lambda g: rect(g, 5, 5, 10, 10, 'k', 'w'), lambda g: line(g, 0, 0, 5, 5, 'k'),
                      lambda g: line(g, 15, 0, 10, 5, 'k'), lambda g: line(g, 0, 14, 5, 10, 'k'),
                      lambda g: line(g, 15, 14, 10, 10, 'k'))
P['persp_less'] = pic(lambda g: rect(g, 3, 3, 12, 12, 'k', 'w'), lambda g: line(g, 1, 1, 3, 3, 'k'),
                      lambda g: line(g, 14, 1, 12, 3, 'k'), lambda g: line(g, 1, 13, 3, 12, 'k'),
                      lambda g: line(g, 14, 13, 12, 12, 'k'))
P['fit_frame'] = pic(lambda g: rect(g, 1, 1, 14, 13, 'b'), box3d)
P['reset_rotation'] = pic(box3d, lambda g: text(g, ["GGG", "G  "], 11, 10), lambda g: line(g, 11, 10, 14, 13, 'G'))
# 35562 has no command string; its button shows the plain box.
P['rot_box'] = pic(box3d)

P['arrow_horizontal'] = pic(lambda g: arrow_h(g, 7, 1, 14, 'k'))
P['arrow_vertical'] = pic(lambda g: arrow_down(g, 7, 0, 14, 'k'))
P['head_widen'] = pic(lambda g: line(g, 1, 7, 13, 7, 'k'), lambda g: line(g, 9, 1, 14, 7, 'k'),
                      lambda g: line(g, 9, 13, 14, 7, 'k'))
P['head_narrow'] = pic(lambda g: line(g, 1, 7, 13, 7, 'k'), lambda g: line(g, 10, 5, 14, 7, 'k'),
                       lambda g: line(g, 10, 9, 14, 7, 'k'))
P['head_lengthen'] = pic(lambda g: line(g, 1, 7, 14, 7, 'k'), lambda g: line(g, 4, 4, 14, 7, 'k'),
                         lambda g: line(g, 4, 10, 14, 7, 'k'))
P['head_shorten'] = pic(lambda g: line(g, 1, 7, 14, 7, 'k'), lambda g: line(g, 12, 4, 14, 7, 'k'),
                        lambda g: line(g, 12, 10, 14, 7, 'k'))

# Tools: pointer, zoom, text, two tools not built, data selector, arrow, line, rectangle,
# ellipse, two tools not built. A tool that is not built shows a crossed grey circle.
def ellipse(g, l, t, r, b, c, fill=None):
    import math
    cx, cy, rx, ry = (l + r) / 2, (t + b) / 2, (r - l) / 2, (b - t) / 2
    if fill:
        for y in range(t, b + 1):
            for x in range(l, r + 1):
                if ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1:
                    g[y][x] = fill
    for i in range(64):
        a = 2 * math.pi * i / 64
        g[round(cy + ry * math.sin(a))][round(cx + rx * math.cos(a))] = c


P['tool_pointer'] = pic(lambda g: text(g, ["k         ", "kk        ", "kwk       ", "kwwk      ", "kwwwk     ",
                                            "kwwwwk    ", "kwwwwwk   ", "kwwwwwwk  ", "kwwwkkkkk ", "kwwk      ",
                                            "kwk       ", "kk        ", "k         "], 4, 1))
P['tool_zoom'] = pic(lambda g: ellipse(g, 1, 1, 9, 9, 'k', 'c'), lambda g: line(g, 8, 8, 13, 13, 'k'),
                     lambda g: line(g, 9, 8, 14, 13, 'k'))
P['tool_text'] = pic(lambda g: text(g, ["kkkkkkkkkk", "k   kk   k", "    kk    ", "    kk    ", "    kk    ",
                                         "    kk    ", "    kk    ", "    kk    ", "    kk    ", "   kkkk   "], 3, 2))
P['tool_not_built'] = pic(lambda g: ellipse(g, 3, 2, 12, 12, 'd'), lambda g: line(g, 5, 4, 10, 10, 'd'))
P['tool_selector'] = pic(axes, lambda g: polyline(g, CURVE, 'b'), lambda g: line(g, 6, 1, 6, 12, 'r'),
                         lambda g: line(g, 12, 1, 12, 12, 'r'))
P['tool_arrow'] = pic(lambda g: line(g, 2, 13, 13, 2, 'k'), lambda g: line(g, 8, 2, 13, 2, 'k'),
                      lambda g: line(g, 13, 2, 13, 7, 'k'))
P['tool_line'] = pic(lambda g: line(g, 2, 13, 13, 2, 'k'))
P['tool_rectangle'] = pic(lambda g: rect(g, 2, 3, 13, 11, 'k'))
P['tool_ellipse'] = pic(lambda g: ellipse(g, 1, 3, 14, 11, 'k'))

# Object edit: align left, right, top, bottom, vertically, horizontally; uniform width and
# height; to front and back; data to front and back; group, ungroup; font up and down.
def bars_h(g, fill='c'):  # two objects of different widths
    rect(g, 3, 2, 13, 5, 'k', fill)
    rect(g, 3, 9, 9, 12, 'k', fill)


P['align_left'] = pic(lambda g: rect(g, 3, 2, 13, 5, 'k', 'c'), lambda g: rect(g, 3, 9, 9, 12, 'k', 'c'),
                      lambda g: line(g, 1, 0, 1, 14, 'r'))
P['align_right'] = pic(lambda g: rect(g, 2, 2, 12, 5, 'k', 'c'), lambda g: rect(g, 6, 9, 12, 12, 'k', 'c'),
                       lambda g: line(g, 14, 0, 14, 14, 'r'))
P['align_top'] = pic(lambda g: rect(g, 2, 3, 5, 13, 'k', 'c'), lambda g: rect(g, 9, 3, 12, 9, 'k', 'c'),
                     lambda g: line(g, 0, 1, 15, 1, 'r'))
P['align_bottom'] = pic(lambda g: rect(g, 2, 1, 5, 11, 'k', 'c'), lambda g: rect(g, 9, 5, 12, 11, 'k', 'c'),
                        lambda g: line(g, 0, 13, 15, 13, 'r'))
P['align_vertical'] = pic(lambda g: rect(g, 2, 2, 13, 5, 'k', 'c'), lambda g: rect(g, 5, 9, 10, 12, 'k', 'c'),
                          lambda g: line(g, 7, 0, 7, 14, 'r'))
P['align_horizontal'] = pic(lambda g: rect(g, 2, 1, 5, 13, 'k', 'c'), lambda g: rect(g, 9, 4, 12, 10, 'k', 'c'),
                            lambda g: line(g, 0, 7, 15, 7, 'r'))
P['uniform_width'] = pic(lambda g: rect(g, 3, 2, 12, 5, 'k', 'c'), lambda g: rect(g, 3, 9, 12, 12, 'k', 'c'),
                         lambda g: arrow_h(g, 7, 1, 14, 'r'))
P['uniform_height'] = pic(lambda g: rect(g, 2, 2, 5, 12, 'k', 'c'), lambda g: rect(g, 9, 2, 12, 12, 'k', 'c'),
                          lambda g: arrow_down(g, 7, 0, 14, 'r'))
P['to_front'] = pic(lambda g: rect(g, 1, 1, 9, 8, 'k', 'd'), lambda g: rect(g, 5, 5, 14, 13, 'k', 'y'))
P['to_back'] = pic(lambda g: rect(g, 5, 5, 14, 13, 'k', 'd'), lambda g: rect(g, 1, 1, 9, 8, 'k', 'y'))
P['data_front'] = pic(lambda g: rect(g, 3, 2, 13, 11, 'k', 'd'), lambda g: polyline(g, CURVE))
P['data_back'] = pic(lambda g: polyline(g, CURVE), lambda g: rect(g, 3, 2, 13, 11, 'k', 'd'))
P['group'] = pic(lambda g: rect(g, 0, 0, 15, 14, 'n'), lambda g: rect(g, 2, 2, 7, 6, 'k', 'c'),
                 lambda g: ellipse(g, 7, 7, 13, 12, 'k', 'y'))
P['ungroup'] = pic(lambda g: rect(g, 1, 1, 6, 5, 'k', 'c'), lambda g: ellipse(g, 8, 8, 14, 13, 'k', 'y'),
                   lambda g: rect(g, 0, 0, 7, 6, 'n'), lambda g: rect(g, 7, 7, 15, 14, 'n'))
A_LETTER = ["  kk  ", " k  k ", "k    k", "kkkkkk", "k    k", "k    k"]
P['font_up'] = pic(lambda g: text(g, A_LETTER, 1, 7), lambda g: line(g, 12, 1, 12, 7, 'G'),
                   lambda g: line(g, 10, 3, 12, 1, 'G'), lambda g: line(g, 14, 3, 12, 1, 'G'))
P['font_down'] = pic(lambda g: text(g, A_LETTER, 1, 7), lambda g: arrow_down(g, 12, 1, 7, 'r'))

# More 2D graphs: drop lines, segments, steps, spline, double Y, line series, waterfall,
# zoom, error bars, stacked and floating bars and columns, bubbles and colour maps,
# statistical graphs, panels and stacks.
P['plot_drop_lines'] = pic(axes, lambda g: [(line(g, x, y, x, 12, 'd'), rect(g, x - 1, y - 1, x, y, 'b', 'b'))
                                            for x, y in ((5, 9), (8, 5), (11, 7), (14, 3))])
P['plot_segment2'] = pic(axes, lambda g: line(g, 3, 11, 8, 6, 'r'), lambda g: line(g, 9, 9, 15, 3, 'r'))
P['plot_segment3'] = pic(axes, lambda g: polyline(g, [(3, 11), (6, 6), (9, 9)]),
                         lambda g: polyline(g, [(10, 7), (12, 3), (15, 5)]))
P['plot_step_h'] = pic(axes, lambda g: polyline(g, [(3, 11), (6, 11), (6, 8), (10, 8), (10, 4), (14, 4), (14, 2)]))
P['plot_step_v'] = pic(axes, lambda g: polyline(g, [(3, 11), (3, 8), (7, 8), (7, 4), (11, 4), (11, 2), (15, 2)]))
P['plot_spline'] = pic(axes, lambda g: polyline(g, [(3, 11), (4, 8), (6, 6), (8, 6), (10, 8), (12, 8),
                                                    (14, 5), (15, 2)]))
P['plot_double_y'] = pic(axes, lambda g: line(g, 14, 1, 14, 13, 'k'), lambda g: polyline(g, CURVE[:4], 'r'),
                         lambda g: polyline(g, [(3, 4), (7, 6), (10, 10), (13, 11)], 'b'))
P['plot_line_series'] = pic(axes, lambda g: polyline(g, [(3, 10), (7, 9), (11, 10), (15, 8)], 'r'),
                            lambda g: polyline(g, [(3, 6), (7, 5), (11, 6), (15, 3)], 'b'))
P['plot_waterfall'] = pic(axes, lambda g: [polyline(g, [(x, y + 4), (x + 3, y), (x + 6, y + 4)], c)
                                           for x, y, c in ((3, 7, 'r'), (6, 4, 'G'), (9, 1, 'b'))])
P['plot_zoom'] = pic(lambda g: rect(g, 0, 0, 7, 6, 'k', 'w'), lambda g: polyline(g, [(1, 5), (3, 2), (6, 3)]),
                     lambda g: rect(g, 3, 1, 5, 4, 'b'), lambda g: rect(g, 6, 6, 15, 14, 'k', 'w'),
                     lambda g: line(g, 7, 12, 14, 8, 'r'))
def error_bar(g, x, y, h):
    line(g, x, y - h, x, y + h, 'k')
    line(g, x - 1, y - h, x + 1, y - h, 'k')
    line(g, x - 1, y + h, x + 1, y + h, 'k')


P['plot_y_error'] = pic(axes, lambda g: [(error_bar(g, x, y, 2), rect(g, x, y, x, y, 'r'))
                                         for x, y in ((5, 9), (9, 6), (13, 4))])
P['plot_xy_error'] = pic(axes, lambda g: [(error_bar(g, x, y, 2), line(g, x - 2, y, x + 2, y, 'k'),
                                           rect(g, x, y, x, y, 'r')) for x, y in ((5, 9), (10, 5))])
P['plot_stack_bar'] = pic(axes, lambda g: [(rect(g, 3, y, a, y + 2, 'k', 'r'), rect(g, a, y, b, y + 2, 'k', 'b'))
                                           for y, a, b in ((2, 8, 13), (6, 6, 10), (10, 9, 14))])
P['plot_stack_column'] = pic(axes, lambda g: [(rect(g, x, a, x + 2, 12, 'k', 'r'), rect(g, x, b, x + 2, a, 'k', 'b'))
                                              for x, a, b in ((4, 8, 4), (8, 6, 2), (12, 9, 5))])
P['plot_float_bar'] = pic(axes, lambda g: [rect(g, a, y, b, y + 2, 'k', 'r') for y, a, b in
                                           ((2, 6, 12), (6, 4, 9), (10, 8, 14))])
P['plot_float_column'] = pic(axes, lambda g: [rect(g, x, t, x + 2, b, 'k', 'r') for x, t, b in
                                              ((4, 5, 10), (8, 2, 7), (12, 4, 11))])
P['plot_bubble'] = pic(axes, lambda g: ellipse(g, 4, 7, 8, 11, 'b'), lambda g: ellipse(g, 8, 1, 14, 7, 'b'),
                       lambda g: rect(g, 12, 10, 13, 11, 'b', 'b'))
P['plot_color_mapped'] = pic(axes, lambda g: points(g, [(5, 10)], 'b'), lambda g: points(g, [(8, 7)], 'G'),
                             lambda g: points(g, [(11, 8)], 'y'), lambda g: points(g, [(14, 3)], 'r'))
P['plot_bubble_color'] = pic(axes, lambda g: ellipse(g, 4, 7, 8, 11, 'k', 'b'),
                             lambda g: ellipse(g, 8, 1, 14, 7, 'k', 'r'), lambda g: rect(g, 12, 10, 13, 11, 'G', 'G'))
P['plot_box'] = pic(axes, lambda g: [(line(g, x + 1, t, x + 1, b, 'k'), rect(g, x, m - 2, x + 2, m + 2, 'k', 'c'),
                                      line(g, x, m, x + 2, m, 'k')) for x, t, b, m in ((4, 3, 12, 8), (10, 1, 10, 5))])
P['plot_qc'] = pic(lambda g: rect(g, 0, 0, 15, 6, 'k', 'w'), lambda g: polyline(g, [(1, 4), (4, 2), (7, 4), (10, 3),
                                                                                    (14, 2)], 'b'),
                   lambda g: line(g, 1, 3, 14, 3, 'r'), lambda g: rect(g, 0, 8, 15, 14, 'k', 'w'),
                   lambda g: polyline(g, [(1, 12), (4, 10), (7, 12), (10, 11), (14, 9)], 'b'))
HIST = ((3, 10), (5, 6), (7, 3), (9, 5), (11, 9), (13, 11))
P['plot_histogram'] = pic(axes, lambda g: [rect(g, x, y, x + 2, 12, 'k', 'r') for x, y in HIST])
P['plot_histogram_prob'] = pic(axes, lambda g: [rect(g, x, y, x + 2, 12, 'k', 'r') for x, y in HIST],
                               lambda g: polyline(g, [(3, 11), (6, 9), (9, 4), (12, 2), (15, 1)], 'b'))
P['plot_stacked_hist'] = pic(lambda g: [(line(g, 1, b, 15, b, 'k'), [rect(g, x, b - h, x + 2, b, 'k', c)
                                                                     for x, h in ((3, 2), (6, 4), (9, 3), (12, 1))])
                                        for b, c in ((6, 'r'), (13, 'b'))])
P['panel_h2'] = pic(lambda g: rect(g, 0, 2, 7, 12, 'k', 'w'), lambda g: rect(g, 8, 2, 15, 12, 'k', 'w'),
                    lambda g: line(g, 1, 10, 6, 5, 'r'), lambda g: line(g, 9, 10, 14, 5, 'b'))
P['panel_v2'] = pic(lambda g: rect(g, 2, 0, 13, 6, 'k', 'w'), lambda g: rect(g, 2, 8, 13, 14, 'k', 'w'),
                    lambda g: line(g, 3, 5, 12, 2, 'r'), lambda g: line(g, 3, 13, 12, 10, 'b'))
P['panel_4'] = pic(lambda g: [rect(g, x, y, x + 6, y + 6, 'k', 'w') for x in (1, 8) for y in (0, 7)],
                   lambda g: [line(g, x + 1, y + 5, x + 5, y + 1, 'r') for x in (1, 8) for y in (0, 7)])
P['panel_9'] = pic(lambda g: [rect(g, x, y, x + 4, y + 4, 'k', 'w') for x in (1, 6, 11) for y in (0, 5, 10)])
P['panel_stack'] = pic(lambda g: line(g, 2, 0, 2, 14, 'k'), lambda g: [line(g, 2, y, 15, y, 'k') for y in (4, 9, 14)],
                       lambda g: polyline(g, [(3, 3), (7, 1), (11, 2), (15, 1)], 'r'),
                       lambda g: polyline(g, [(3, 8), (7, 6), (11, 7), (15, 5)], 'b'),
                       lambda g: polyline(g, [(3, 13), (7, 12), (11, 10), (15, 11)], 'G'))

# 3D graphs: scatter, trajectory, bars, ribbons, walls, waterfall; from matrices: colour
# fill surface, X and Y constant with base, colour map, bars, wire frame, wire surface,
# colour and black-and-white contours, grey-scale map.
def floor3d(g):  # the floor and back of a 3D box
    line(g, 1, 13, 10, 13, 'k')
    line(g, 10, 13, 14, 9, 'k')
    line(g, 1, 13, 5, 9, 'k')
    line(g, 5, 9, 14, 9, 'd')
    line(g, 5, 1, 5, 9, 'd')


def surface(g, rows, grid=None):  # a skewed surface from row colours
    for i, c in enumerate(rows):
        y = 10 - i
        for x in range(2 + i // 2, 12 + i // 2):
            g[y - (2 if 4 <= x - i // 2 <= 7 else 0)][x] = grid if grid and (x % 3 == 0 or i % 3 == 0) else c


P['plot3d_scatter'] = pic(floor3d, lambda g: points(g, [(4, 9), (7, 5), (10, 7), (12, 3)], 'r'))
P['plot3d_trajectory'] = pic(floor3d, lambda g: polyline(g, [(3, 11), (5, 6), (8, 8), (11, 3), (13, 5)], 'r'))
P['plot3d_bars'] = pic(floor3d, lambda g: [rect(g, x, t, x + 2, b, 'k', c) for x, t, b, c in
                                            ((3, 7, 12, 'r'), (7, 3, 11, 'G'), (11, 5, 10, 'b'))])
P['plot3d_ribbons'] = pic(floor3d, lambda g: [(polyline(g, [(x, y + 3), (x + 3, y), (x + 6, y + 2)], c),
                                               polyline(g, [(x + 1, y + 4), (x + 4, y + 1), (x + 7, y + 3)], c))
                                              for x, y, c in ((2, 7, 'r'), (5, 2, 'b'))])
P['plot3d_walls'] = pic(floor3d, lambda g: [[line(g, xx, y + (xx - x) % 3, xx, y + 5, c) for xx in range(x, x + 7)]
                                            for x, y, c in ((2, 6, 'r'), (6, 2, 'b'))])
P['plot3d_waterfall'] = pic(floor3d, lambda g: [polyline(g, [(x, y + 3), (x + 3, y), (x + 6, y + 3)], c)
                                                for x, y, c in ((2, 8, 'r'), (4, 5, 'G'), (6, 2, 'b'))])
P['plot3d_color_fill'] = pic(lambda g: surface(g, 'bbccGGyyrr'))
P['plot3d_x_constant'] = pic(floor3d, lambda g: [line(g, x, 12 - (x - 2) // 3, x, 5 + (x % 4), 'r')
                                                 for x in range(2, 10)])
P['plot3d_y_constant'] = pic(floor3d, lambda g: [line(g, x, 10, x, 3 + (x % 5), 'b') for x in range(5, 14)])
P['plot3d_color_map'] = pic(lambda g: surface(g, 'bbccGGyyrr', 'k'))
P['plot3d_matrix_bars'] = pic(floor3d, lambda g: [rect(g, x, t, x + 1, t + 12 - t - (x % 3), 'k', c)
                                                  for x, t, c in ((3, 6, 'r'), (6, 3, 'G'), (9, 5, 'b'), (12, 2, 'y'))])
P['plot3d_wire_frame'] = pic(lambda g: surface(g, '..........', 'k'))
P['plot3d_wire_surface'] = pic(lambda g: surface(g, 'wwwwwwwwww', 'k'))
P['contour_color'] = pic(lambda g: rect(g, 0, 0, 15, 14, 'k', 'b'), lambda g: ellipse(g, 2, 2, 13, 12, 'c', 'c'),
                         lambda g: ellipse(g, 4, 4, 11, 10, 'G', 'G'), lambda g: ellipse(g, 6, 6, 9, 8, 'r', 'r'))
P['contour_bw'] = pic(lambda g: rect(g, 0, 0, 15, 14, 'k', 'w'), lambda g: ellipse(g, 2, 2, 13, 12, 'k'),
                      lambda g: ellipse(g, 4, 4, 11, 10, 'k'), lambda g: ellipse(g, 6, 6, 9, 8, 'k'))
P['gray_map'] = pic(lambda g: rect(g, 0, 0, 15, 14, 'k', 'k'), lambda g: ellipse(g, 2, 2, 13, 12, 'd', 'd'),
                    lambda g: ellipse(g, 4, 4, 11, 10, '.', '.'), lambda g: ellipse(g, 6, 6, 9, 8, 'w', 'w'))


BITMAPS = {
    'palette.bmp': ['new_color', 'delete_color', 'move_up', 'move_down'],
    # Standard: 34011 34006 34024 34007 34008 34010 34009 34025 34039 33996 34026 33994 34048
    # 34051 34050 34037 33053 33052 33051 33047 34115 34121 32992 36501
    'tb556.bmp': ['cut', 'copy', 'paste'],
    'tb605.bmp': ['zoom_in', 'zoom_out', 'whole_page', 'rescale', 'extract_layers', 'extract_graphs', 'merge',
                  'color_scale', 'new_legend', 'xy_scale', 'date_time'],
    'tb560.bmp': ['plot_line', 'plot_scatter', 'plot_line_symbol', 'plot_bar', 'plot_column', 'plot_pie',
                  'plot_area', 'plot_fill_area', 'plot_polar', 'plot_ternary', 'plot_hilo', 'plot_vector_xyam',
                  'plot_vector_xyxy', 'plot_template'],
    'tb606.bmp': ['wks_stats_col', 'wks_stats_row', 'wks_sort', 'wks_set_values', 'wks_row_numbers',
                  'wks_uniform', 'wks_normal'],
    'tb546.bmp': ['col_x', 'col_y', 'col_z', 'col_yerr', 'col_label', 'col_disregard', 'col_first', 'col_left',
                  'col_right', 'col_last'],
    'tb620.bmp': ['mask_point', 'mask_range', 'unmask_range', 'mask_swap', 'mask_color', 'mask_hide',
                  'mask_disable'],
    'tb621.bmp': ['rot_ccw', 'rot_cw', 'tilt_left', 'tilt_right', 'tilt_down', 'tilt_up', 'persp_more',
                  'persp_less', 'fit_frame', 'reset_rotation', 'rot_box'],
    # Arrow: 35520 35521 35523 35522 35524 35525
    'tb559.bmp': ['arrow_horizontal', 'arrow_vertical', 'head_widen', 'head_narrow', 'head_lengthen',
                  'head_shorten'],
    'tb607.bmp': ['layout_add_graph', 'layout_add_worksheet'],
    'tb555.bmp': ['new_project', 'new_worksheet', 'new_excel', 'new_graph', 'new_matrix', 'new_function',
                  'new_layout', 'new_notes', 'new_editor', 'open', 'open_template', 'open_excel', 'save',
                  'save_template', 'import_ascii', 'import_multiple', 'print', 'refresh', 'duplicate',
                  'custom_routine', 'explorer', 'results_log', 'script_window', 'add_columns'],
    # Tools: 34976-34987
    'tb549.bmp': ['tool_pointer', 'tool_zoom', 'tool_text', 'tool_not_built', 'tool_not_built', 'tool_selector',
                  'tool_arrow', 'tool_line', 'tool_rectangle', 'tool_ellipse', 'tool_not_built', 'tool_not_built'],
    # Object edit: 35488-35501 35504 35505
    'tb558.bmp': ['align_left', 'align_right', 'align_top', 'align_bottom', 'align_vertical', 'align_horizontal',
                  'uniform_width', 'uniform_height', 'to_front', 'to_back', 'data_front', 'data_back', 'group',
                  'ungroup', 'font_up', 'font_down'],
    # More 2D graphs: 33330 33319 33320 33314 33315 33333 33288 33290 33289 33293 33335 33336 33258
    # 33256 33253 33254 33317 33316 33318 33261 33292 33266 33295 33296 33321 33322 33323 33324 33313
    'tb561.bmp': ['plot_drop_lines', 'plot_segment2', 'plot_segment3', 'plot_step_h', 'plot_step_v', 'plot_spline',
                  'plot_double_y', 'plot_line_series', 'plot_waterfall', 'plot_zoom', 'plot_y_error', 'plot_xy_error',
                  'plot_stack_bar', 'plot_stack_column', 'plot_float_bar', 'plot_float_column', 'plot_bubble',
                  'plot_color_mapped', 'plot_bubble_color', 'plot_box', 'plot_qc', 'plot_histogram',
                  'plot_histogram_prob', 'plot_stacked_hist', 'panel_h2', 'panel_v2', 'panel_4', 'panel_9',
                  'panel_stack'],
    # 3D graphs: 35568-35583
    'tb625.bmp': ['plot3d_scatter', 'plot3d_trajectory', 'plot3d_bars', 'plot3d_ribbons', 'plot3d_walls',
                  'plot3d_waterfall', 'plot3d_color_fill', 'plot3d_x_constant', 'plot3d_y_constant',
                  'plot3d_color_map', 'plot3d_matrix_bars', 'plot3d_wire_frame', 'plot3d_wire_surface',
                  'contour_color', 'contour_bw', 'gray_map'],
}

def write_ico(path, picture):
    """A 16x16 16-colour icon of a 16x15 picture with a blank last row; '.' is transparent."""
    rows = [list(r) for r in picture] + [['.'] * 16]
    xor, mask = [], []
    for y in range(15, -1, -1):  # bottom-up
        pixels = [0 if c == '.' else COLOURS[c] for c in rows[y]]
        xor.append(bytes((pixels[i] << 4) | pixels[i + 1] for i in range(0, 16, 2)))
        bits = 0
        for x, c in enumerate(rows[y]):
            if c == '.':
                bits |= 1 << (15 - x)
        mask.append(struct.pack('>H', bits) + b'\0\0')
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    image = struct.pack('<IiiHHIIiiII', 40, 16, 32, 1, 4, 0, 0, 0, 0, 16, 0) + palette + b''.join(xor) + b''.join(mask)
    header = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', 16, 16, 16, 0, 1, 4, len(image), 22)
    with open(path, 'wb') as f:
        f.write(header + image)


def folder_open(g):
    folder(g)
    for y in range(7, 13):  # the front flap, lighter
        for x in range(3 - (y - 7) // 3, 14):
            g[y][x] = 'w' if y == 7 else 'y'
        g[y][13] = 'k'


P['ico_folder'] = pic(folder)
P['ico_folder_open'] = pic(folder_open)
P['ico_windows'] = pic(lambda g: page(g, 1, 1, 9, 10), lambda g: page(g, 5, 4, 13, 13))
P['ico_folders'] = pic(lambda g: folder(g, 1, 2, 10, 8), lambda g: folder(g, 4, 7, 14, 13))
P['ico_mixed'] = pic(lambda g: page(g, 1, 1, 8, 9), lambda g: folder(g, 4, 7, 14, 13))
P['ico_project'] = pic(lambda g: rect(g, 1, 3, 14, 13, 'k', 'n'), lambda g: rect(g, 5, 1, 10, 3, 'k', None),
                       lambda g: line(g, 1, 7, 14, 7, 'y'))

# The project explorer's icons: folder, open (current) folder, several windows, several
# folders, windows and folders, the project.
ICONS = {
    'folder_open.ico': 'ico_folder_open', 'folder.ico': 'ico_folder', 'windows.ico': 'ico_windows',
    'folders.ico': 'ico_folders', 'mixed.ico': 'ico_mixed', 'project.ico': 'ico_project',
}

if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    for name, pictures in BITMAPS.items():
        write_bmp(os.path.join(here, name), [P[p] for p in pictures])
    for name, picture in ICONS.items():
        write_ico(os.path.join(here, name), P[picture])
