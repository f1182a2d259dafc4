#!/usr/bin/env python3
"""Draws the program icon (a leaf with a keyhole), 96 x 96 pixels, 24 bits, as a one-image .ico file."""
import math
import struct
import sys

SIZE = 96


def pixel(x, y):
    cx, cy = x - 47.5, y - 47.5
    # A leaf: the intersection of two discs, tilted 45 degrees.
    u = (cx + cy) / math.sqrt(2)
    v = (cx - cy) / math.sqrt(2)
    inside = (u * u + (v - 26) ** 2 < 52 ** 2) and (u * u + (v + 26) ** 2 < 52 ** 2)
    if not inside:
        return None
    # Keyhole: a circle above a trapezoid.
    if (cx ** 2 + (cy + 8) ** 2 < 11 ** 2) or (-8 <= cy + 8 <= 22 and abs(cx) < 4 + (cy + 8) * 0.2):
        return (40, 40, 48)
    vein = abs(u) < 1.6
    shade = int(40 * (v + 40) / 80)
    return (60 + shade, 150 + shade // 2, 50) if not vein else (150, 210, 120)


def main(path):
    rows = []
    mask_rows = []
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        row = bytearray()
        bits = []
        for x in range(SIZE):
            p = pixel(x, y)
            r, g, b = p if p else (0, 0, 0)
            row += bytes((b, g, r))
            bits.append(0 if p else 1)
        rows.append(bytes(row))
        mask = bytearray()
        for i in range(0, SIZE, 8):
            byte = 0
            for k in range(8):
                byte = (byte << 1) | bits[i + k]
            mask.append(byte)
        while len(mask) % 4:
            mask.append(0)
        mask_rows.append(bytes(mask))
    xor = b"".join(rows)
    andm = b"".join(mask_rows)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 24, 0, len(xor) + len(andm), 0, 0, 0, 0)
    image = header + xor + andm
    ico = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 24, len(image), 22) + image
    with open(path, "wb") as f:
        f.write(ico)


if __name__ == "__main__":
    main(sys.argv[1])
