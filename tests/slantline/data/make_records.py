#!/usr/bin/env python3
"""Writes the handmade old slant-check records of the migration tests.

Each record is spelled out field by field in its own layout, so a test's
expectations can be read off the bytes here. Run from this folder.
"""
import struct


def i32(v): return struct.pack('<i', v)
def f64(*vs): return b''.join(struct.pack('<d', v) for v in vs)
def u8(v): return struct.pack('<B', v)


def outlines(*shapes):
    """An old outline list: count, then per outline a count and x, y, z, zL."""
    out = i32(len(shapes))
    for pts in shapes:
        out += i32(len(pts)) + b''.join(f64(*p) for p in pts)
    return out


def square(x0, y0, x1, y1, z, zl=0.0):
    return [(x0, y0, z, zl), (x1, y0, z, zl), (x1, y1, z, zl), (x0, y1, z, zl)]


def calc_kind(calc_type, cut=0, base=0):
    """Record 1001 of the calculation kind."""
    return (i32(1001) + i32(calc_type) + i32(0) + i32(0) + f64(0, 0) + i32(cut) + i32(cut) + i32(base) +
            i32(base) + f64(0, 0) + u8(1) + u8(1))


def crs(x, y, z, t): return f64(x, y, z) + i32(t)


def edge_point(): return i32(1001) + f64(1.0) + i32(0) + i32(2) + u8(0)


EMPTY_BLOCKS = i32(1000) + i32(0)
SECTION_LINES = i32(1000) + i32(0)
FIELDS_1007 = f64(10.0, 0.5, 0.25, 20.0, 0.0, 0.0) + f64(0, 0) + f64(20, 0)  # distance .. end point

records = {
    # A planned building of the oldest layout becomes a plan block.
    'record_1000.bin': i32(1000) + i32(0) + i32(-1) + i32(-1) +
    outlines(square(0, 0, 10, 10, 8)) + i32(0) +
    i32(1) + u8(0) + i32(4) + b''.join(f64(*p) for p in square(2, 2, 4, 4, 5)),
    # Old kind 3: basic, cut kinds 1, base-line kinds 2; the two old lists
    # are not taken for a half cut.
    'record_1003.bin': i32(1003) + i32(2) + i32(0) + i32(0) + i32(3) + outlines() + i32(0) + outlines() +
    outlines(square(0, 0, 5, 5, 9)) + outlines(square(1, 1, 2, 2, 4)),
    # Old kind 2 (base-line kinds 2, no cut): the two old lists are taken.
    'record_1004.bin': i32(1004) + i32(2) + i32(0) + i32(0) + i32(2) + outlines() + i32(0) + outlines() +
    outlines(square(0, 0, 5, 5, 9)) + outlines(square(1, 1, 2, 2, 4)),
    # Equal base and source blocks are erased once read.
    'record_1009.bin': i32(1009) + i32(1) + i32(5) + FIELDS_1007 + calc_kind(0) +
    outlines(square(0, 0, 4, 4, 6), square(0, 0, 4, 4, 6)) + i32(0) + i32(0) + outlines() +
    outlines(square(0, 0, 4, 4, 6), square(0, 0, 4, 4, 6), square(5, 0, 6, 1, 6)) + outlines(square(0, 0, 1, 1, 1)),
    # The radial form of these records takes radial base lines; retaining
    # walls come as an old outline list.
    'record_1012.bin': i32(1012) + i32(1) + i32(3) + FIELDS_1007 + u8(1) + calc_kind(1) +
    outlines() + i32(0) + i32(0) + outlines() + outlines() + outlines() + i32(0) + f64(1.25) +
    outlines(square(0, 0, 3, 1, 0)),
    # One old check line of three entries with a counter-clockwise centre.
    'record_1016.bin': i32(1016) + i32(1) + i32(4) + f64(2.0) + f64(1, 2, 3) + i32(-1) + FIELDS_1007 + u8(0) +
    calc_kind(0) + EMPTY_BLOCKS + i32(0) + i32(0) + EMPTY_BLOCKS + EMPTY_BLOCKS +
    i32(3) + crs(0, 0, 0, 0) + crs(5, 0, 0, 1) + crs(5, 5, 0, 0) + f64(1.5) + EMPTY_BLOCKS + edge_point() +
    edge_point(),
    # The data type as one byte; the second distance, the pitch, section lines.
    'record_1020.bin': i32(1020) + i32(1) + i32(4) + f64(2.0) + f64(1, 2, 3) + i32(-1) + FIELDS_1007 + u8(0) +
    calc_kind(0) + EMPTY_BLOCKS + i32(0) + i32(0) + EMPTY_BLOCKS + EMPTY_BLOCKS + i32(0) + f64(1.5) +
    EMPTY_BLOCKS + edge_point() + edge_point() + u8(2) + f64(99.0) + f64(0.75) + SECTION_LINES,
    # The last record before the arc senses turned round, with a road distance.
    'record_1022.bin': i32(1022) + i32(1) + i32(4) + f64(2.0) + f64(1, 2, 3) + i32(-1) + FIELDS_1007 + u8(1) +
    calc_kind(0) + EMPTY_BLOCKS + i32(0) + i32(0) + EMPTY_BLOCKS + EMPTY_BLOCKS +
    i32(1) + i32(3) + crs(0, 0, 0, 0) + crs(5, 0, 0, 1) + crs(5, 5, 0, 0) + f64(1.5) + EMPTY_BLOCKS +
    edge_point() + edge_point() + i32(3) + f64(99.0) + f64(0.75) + SECTION_LINES + f64(7.5),
}

for name, data in records.items():
    with open(name, 'wb') as out:
        out.write(data)
