#!/usr/bin/env python3
"""Writes the bitmap files of the DIB tests. The well-formed ones come from ImageMagick's
convert (a 9 by 7 picture: white, with red at the top left and blue at the bottom right;
black for the two-colour file); the others are made from them by changing bytes, one
fault each. Run it again after changing a case; the test reads the files it writes."""
import os
import struct
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
CONVERT = "/usr/bin/convert"


def convert(name, *options, fmt="BMP3"):
    path = os.path.join(HERE, name)
    subprocess.run([CONVERT, "-size", "9x7", "xc:white", "-fill", "red", "-draw", "point 0,0",
                    "-fill", "blue", "-draw", "point 8,6", *options, "%s:%s" % (fmt, path)],
                   check=True)
    return open(path, "rb").read()


# Twenty-seven grey levels in rows 2 to 4, so that the palette files need 8 bits a pixel.
GREYS = []
for i in range(27):
    GREYS += ["-fill", "rgb(%d,%d,%d)" % ((20 + 8 * i,) * 3), "-draw", "point %d,%d" % (i % 9, 2 + i // 9)]


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def header_fields(data):
    size, offset = struct.unpack_from("<I4xI", data, 2)
    return size, offset


pal8 = convert("pal8.bmp", *GREYS, "-compress", "none", "-type", "palette")
convert("rgb24.bmp", "-compress", "none", "-type", "truecolor")
convert("pal4.bmp", "-compress", "none", "-type", "palette")
convert("core8.bmp", *GREYS, "-compress", "none", "-type", "palette", fmt="BMP2")
convert("rle8.bmp", *GREYS, "-compress", "rle", "-type", "palette")
subprocess.run([CONVERT, "-size", "9x7", "xc:white", "-fill", "black", "-draw", "point 0,0",
                "-draw", "point 8,6", "-compress", "none", "-monochrome", "-type", "bilevel",
                "BMP3:" + os.path.join(HERE, "mono1.bmp")], check=True)
convert("v5.bmp", "-compress", "none", "-type", "truecolor", fmt="BMP")

# Top-down rows: the same picture with a negative height and its rows in reverse.
size, offset = header_fields(pal8)
width, height = struct.unpack_from("<ii", pal8, 18)
stride = (width + 3) & ~3
rows = [pal8[offset + r * stride: offset + (r + 1) * stride] for r in range(height)]
topdown = bytearray(pal8[:offset] + b"".join(reversed(rows)))
struct.pack_into("<i", topdown, 22, -height)
write("topdown8.bmp", topdown)

# 16 bits per pixel with 5-6-5 bit fields: red top left, blue bottom right, white else.
width, height = 9, 7
stride = (width * 2 + 3) & ~3
pixels = bytearray()
for r in range(height):  # bottom-up
    y = height - 1 - r
    row = bytearray()
    for x in range(width):
        value = 0xF800 if (x, y) == (0, 0) else 0x001F if (x, y) == (8, 6) else 0xFFFF
        row += struct.pack("<H", value)
    pixels += row + b"\0" * (stride - len(row))
info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 16, 3, len(pixels), 2835, 2835, 0, 0)
masks = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
off = 14 + len(info) + len(masks)
write("fields16.bmp", struct.pack("<2sIHHI", b"BM", off + len(pixels), 0, 0, off) + info + masks + pixels)


def broken(name, base, change):
    data = bytearray(base)
    change(data)
    write(name, data)


size, offset = header_fields(pal8)
broken("bad_signature.bmp", pal8, lambda d: d.__setitem__(slice(0, 2), b"MB"))
broken("bad_truncated_pixels.bmp", pal8, lambda d: d.__delitem__(slice(len(d) - 5, len(d))))
broken("bad_truncated_colours.bmp", pal8, lambda d: d.__delitem__(slice(54 + 6, len(d))))
broken("bad_truncated_header.bmp", pal8, lambda d: d.__delitem__(slice(30, len(d))))
broken("bad_offset_past_end.bmp", pal8, lambda d: struct.pack_into("<I", d, 10, len(d) + 100))
broken("bad_offset_in_header.bmp", pal8, lambda d: struct.pack_into("<I", d, 10, 20))
broken("bad_header_size.bmp", pal8, lambda d: struct.pack_into("<I", d, 14, 64))
broken("bad_huge_size.bmp", pal8, lambda d: struct.pack_into("<ii", d, 18, 0x7FFFFFFF, 0x7FFFFFFF))
broken("bad_zero_width.bmp", pal8, lambda d: struct.pack_into("<i", d, 18, 0))
broken("bad_bit_count.bmp", pal8, lambda d: struct.pack_into("<H", d, 28, 7))
broken("bad_compression.bmp", pal8, lambda d: struct.pack_into("<I", d, 30, 9))
broken("bad_planes.bmp", pal8, lambda d: struct.pack_into("<H", d, 26, 3))
rle = open(os.path.join(HERE, "rle8.bmp"), "rb").read()
broken("bad_rle_no_size.bmp", rle, lambda d: struct.pack_into("<I", d, 34, 0))
broken("bad_rle_size_past_end.bmp", rle, lambda d: struct.pack_into("<I", d, 34, len(d)))
write("bad_empty.bmp", b"")
