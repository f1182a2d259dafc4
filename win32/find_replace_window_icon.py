#!/usr/bin/env python3
"""Writes res/find_replace_window.ico, the Find/Replace window's icon: one 32x32 image, 16 colours (4 bits per pixel),
a magnifying glass over a page of text. Run it again after changing the drawing; the .ico is checked in."""
import math
import os
import struct

SIZE = 32
# The standard 16-colour palette.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255),
    (0, 255, 255), (255, 255, 255),
]  # as (red, green, blue)
BLACK, DARK_YELLOW, SILVER, GREY, WHITE, CYAN, NAVY = 0, 3, 7, 8, 15, 14, 4
CLEAR = None


def draw():
    px = [[CLEAR] * SIZE for _ in range(SIZE)]
    # The page: white with a grey edge and navy lines of text.
    for y in range(2, 28):
        for x in range(3, 23):
            px[y][x] = GREY if x in (3, 22) or y in (2, 27) else WHITE
    for y in range(6, 26, 3):
        for x in range(6, 20):
            px[y][x] = NAVY
    # The lens: a ring around a pale cyan glass, centre (17, 15), radius 8.
    cx, cy = 17.0, 15.0
    for y in range(SIZE):
        for x in range(SIZE):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            if d <= 6.2:
                px[y][x] = CYAN if (x + y) % 5 else WHITE
            elif d <= 8.2:
                px[y][x] = BLACK
    # The handle, down to the bottom right corner.
    for i in range(0, 9):
        for w in range(-1, 2):
            x, y = 23 + i + w, 21 + i
            if 0 <= x < SIZE and 0 <= y < SIZE:
                px[y][x] = DARK_YELLOW if w == 0 else BLACK
    return px


def ico(px):
    xor_rows, and_rows = [], []
    for y in reversed(range(SIZE)):  # bottom-up, as DIBs are
        row = px[y]
        nibbles = [0 if c is CLEAR else c for c in row]
        xor_rows.append(bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, SIZE, 2)))
        bits = 0
        for x, c in enumerate(row):
            if c is CLEAR:
                bits |= 1 << (SIZE - 1 - x)
        and_rows.append(struct.pack(">I", bits))  # 32 pixels = 4 bytes, already DWORD aligned
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 22)
    return directory + image


if __name__ == "__main__":
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "res", "find_replace_window.ico")
    with open(out, "wb") as f:
        f.write(ico(draw()))
    print(out)
