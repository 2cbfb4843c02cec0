#!/usr/bin/env python3
"""Writes the QDA files of the import test: big-endian, a 512-byte header (version and
column count), the row counts and type codes of the columns, 40 unread bytes a column, then
one data block a column. Run it again after changing a case; the test reads the files it
writes and holds the values they carry."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

FLOAT, TEXT, DATE, DOUBLE, LONG = 0, 1, 2, 3, 4


def description(width, time=False):
    # width, number format, date format, time format, digits, spare, flag 1, flag 2
    return bytes([width, 0, 0, 0, 3, 0, 0, 4 if time else 0])


def name_field(name):
    raw = name.encode("latin-1")
    return raw + b"\0" * (128 - len(raw))


def qda(version, columns):
    """columns: (type, values, width, name[, time])"""
    n = len(columns)
    out = struct.pack(">hh", version, n) + b"\0" * 508
    out += b"".join(struct.pack(">h", len(c[1])) for c in columns)
    out += b"".join(struct.pack(">h", c[0]) for c in columns)
    out += b"\x55" * (40 * n)
    for c in columns:
        kind, values, width, name = c[:4]
        time = len(c) > 4 and c[4]
        r = len(values)
        if kind == TEXT:
            out += b"\xaa" * (4 * r) + b"\xbb" * (2 * r)
            for v in values:
                raw = v.encode("latin-1")
                out += raw + b"\0" * (21 - len(raw))
        else:
            if kind == FLOAT:
                out += b"".join(struct.pack(">f", v) for v in values)
            elif kind == DOUBLE:
                out += b"".join(struct.pack(">d", v) for v in values)
            elif kind == LONG:
                out += b"".join(struct.pack(">i", v) for v in values)
            elif kind == DATE:
                fmt = ">f" if version < 8 else ">d"
                out += b"".join(struct.pack(fmt, v) for v in values)
            else:  # an unknown type code: a block the size of a double column
                out += b"".join(struct.pack(">d", v) for v in values)
            out += b"\xcc" * (2 * r)
        out += description(width, time) + name_field(name)
    return out


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


# Version 8: every type, a text with blanks, dates in seconds from 1 January 1904, a time
# column, and an empty column.
write("all_types_v8.qda", qda(8, [
    (FLOAT, [1.5, -2.25, 1048576.5], 10, "Time s"),
    (TEXT, ["alpha", "New York", "twenty-one characters"[:20]], 12, "City"),
    (DATE, [0.0, 2.5 * 86400], 14, "Day"),
    (DOUBLE, [3.141592653589793, -1e-300, 2.0, 1e300], 16, "Double"),
    (LONG, [-7, 123456], 8, "Count"),
    (FLOAT, [], 6, "Empty"),
    (DATE, [43200.0], 9, "Clock", True),
]))

# Version 7: dates in days from 31 December 1899 as 4-byte floats.
write("dates_v7.qda", qda(7, [
    (DATE, [1.0, 36526.0], 10, "Day"),
    (LONG, [1, 2], 5, "N"),
]))

# An unknown type code stops the import at that column.
write("unknown_type.qda", qda(8, [
    (LONG, [5], 5, "First"),
    (9, [1.0], 5, "Odd"),
    (LONG, [6], 5, "Never"),
]))

# 512 columns: more than the import reads; nothing after the header is looked at.
write("too_many_columns.qda", struct.pack(">hh", 8, 512) + b"\0" * 508)
