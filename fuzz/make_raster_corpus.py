#!/usr/bin/env python3
"""Writes the seed corpus of raster_fuzz (corpus/raster/): call sequences in the byte language
of raster_entry.h. Run again to regenerate them."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus", "raster")


def small(v):  # a number near the bitmap: -12 ... 27
    return bytes([0, v + 12])


def edge(i):  # INT32_MIN, INT32_MIN + 1, -2^30, -2^22, -65536, -1, 0, 1, 2^22, 2^30, MAX-1, MAX
    return bytes([2, i])


def raw(v):
    return bytes([3]) + struct.pack(">i", v)


def colour(v):
    return struct.pack(">I", v)


def op(code, colour_dc=True, other_colour=True):
    return bytes([code | (0 if colour_dc else 128) | (0 if other_colour else 64)])


def pen(width, style=0, dc=True):
    return op(0, dc) + bytes([style]) + width + colour(0x00C80A0A)


def brush(dc=True):
    return op(1, dc) + bytes([1]) + colour(0x000AC80A)


def shape(code, l, t, r, b, dc=True):
    return op(code, dc) + l + t + r + b


SEEDS = {
    "wide_pen_shapes": bytes([10, 9]) + pen(small(5)) + brush() +
    shape(3, small(2), small(2), small(7), small(6)) + shape(4, small(1), small(1), small(9),
                                                           small(7)) +
    shape(5, small(0), small(0), small(9), small(8)) + pen(small(-7)) +
    shape(3, small(4), small(4), small(4), small(4)),
    "thin_lines_and_polygon": bytes([12, 12]) + pen(small(1)) + brush() + op(2) + bytes([7]) +
    shape(5, small(0), small(0), small(11), small(5)) + op(6) + bytes([5]) + small(0) + small(0) +
    small(11) + small(2) + small(3) + small(11) + small(-4) + small(6) + small(8) + small(8),
    "extreme_coordinates": bytes([4, 4]) + pen(edge(11)) + brush() +
    shape(3, edge(0), edge(0), edge(11), edge(11)) + shape(5, edge(0), edge(1), edge(11),
                                                           edge(10)) +
    shape(4, edge(3), edge(2), edge(8), edge(9)) + pen(edge(0)) +
    shape(5, raw(-5), raw(3), raw(2000000000), raw(3)) + op(6) + bytes([3]) + small(0) +
    edge(0) + small(3) + edge(11) + small(0) + edge(11),
    "blits_between_formats": bytes([6, 5]) + brush() + shape(3, small(0), small(0), small(4),
                                                            small(3)) +
    op(9, True, False) + small(1) + small(1) + small(5) + small(5) + small(0) + small(0) +
    bytes([0xCC]) + op(10, False, True) + small(0) + small(0) + small(3) + small(2) + small(5) +
    small(4) + small(-6) + small(-4) + bytes([0x88]) + op(10) + small(1) + small(0) + edge(0) +
    small(3) + small(2) + small(2) + edge(11) + small(-2) + bytes([0x66]),
    "flood_and_pixels": bytes([8, 8]) + pen(small(1)) + shape(3, small(1), small(1), small(7),
                                                             small(7)) +
    brush() + op(7) + small(3) + small(3) + colour(0x00C80A0A) + bytes([0]) + op(8) + small(2) +
    small(2) + colour(0x123456) + op(11) + colour(0x0AC80A) + colour(0),
}

os.makedirs(OUT, exist_ok=True)
for name, data in SEEDS.items():
    with open(os.path.join(OUT, name + ".bin"), "wb") as f:
        f.write(data)
