#!/usr/bin/env python3
"""Draws the mosaic cursors: a ring the size of the mosaic stroke, black with a
white inner edge so that it shows on any picture, hot spot in the middle.
Writes res/mosaic_16.cur, res/mosaic_24.cur and res/mosaic_32.cur."""
import math
import os
import struct

def ring(size):
    c = (size - 1) / 2.0
    outer = size / 2.0 - 0.5
    pixels = []
    for y in range(size - 1, -1, -1):  # bottom-up rows
        row = []
        for x in range(size):
            d = math.hypot(x - c, y - c)
            if outer - 1.0 <= d <= outer:
                row.append((0, 0, 0, 255))
            elif outer - 2.0 <= d < outer - 1.0:
                row.append((255, 255, 255, 255))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels

def cursor(size):
    pixels = ring(size)
    xor = b"".join(struct.pack("<BBBB", b, g, r, a) for row in pixels for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in pixels:
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + bytes(mask)
    hot = size // 2
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, hot, hot, len(image), 6 + 16)
    return directory + entry + image

if __name__ == "__main__":
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res")
    for size in (16, 24, 32):
        with open(os.path.join(out, "mosaic_%d.cur" % size), "wb") as f:
            f.write(cursor(size))
