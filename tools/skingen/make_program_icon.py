#!/usr/bin/env python3
"""Writes the player's program icon (32x32 and 16x16, 32-bit) in the default
skin's colours: a dark rounded square with a light note head and stem.

    make_program_icon.py OUTPUT.ico
"""
import struct
import sys

BACK = (0x2A, 0x20, 0x1B)  # BGR of the skin's interior
NOTE = (0x40, 0xC8, 0xF0)  # warm yellow


def pixel(size, x, y):
    s = size / 32.0
    # Rounded square.
    r = 6 * s
    cx = min(max(x, r), size - 1 - r)
    cy = min(max(y, r), size - 1 - r)
    if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
        return (0, 0, 0, 0)
    # Note head (an ellipse) and stem.
    hx, hy = 13 * s, 22 * s
    if ((x - hx) / (6 * s)) ** 2 + ((y - hy) / (4.5 * s)) ** 2 <= 1:
        return NOTE + (255,)
    if 17 * s <= x <= 19.5 * s and 6 * s <= y <= 22 * s:
        return NOTE + (255,)
    if 19 * s <= x <= 25 * s and 6 * s <= y <= 9 * s + (x - 19 * s) * 0.5:
        return NOTE + (255,)
    return BACK + (255,)


def image(size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b""
    for y in range(size - 1, -1, -1):  # bottom-up
        for x in range(size):
            rows += bytes(pixel(size, x, y))
    mask_row = ((size + 31) // 32) * 4
    return header + rows + b"\0" * (mask_row * size)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_program_icon.py OUTPUT.ico")
    images = [(32, image(32)), (16, image(16))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
