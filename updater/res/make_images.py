#!/usr/bin/env python3
"""Draws the updater's icon (32x32 and 16x16) and its list image strip: a
16-pixel strip of three images on magenta (0xFF00FF, transparent): 0 unused,
1 "not all checked" (an empty box), 2 "all checked" (a ticked box).

make_images.py <icon.ico> <strip.bmp>"""
import struct
import sys


def bmp_rows(width, height, pixel):
    """Bottom-up 24-bit rows, each padded to four bytes."""
    out = b""
    for y in reversed(range(height)):
        row = b"".join(struct.pack("<BBB", *reversed(pixel(x, y))) for x in range(width))
        out += row + b"\0" * ((4 - len(row) % 4) % 4)
    return out


def icon_pixel(size):
    def pixel(x, y):
        # A blue disc with a white arrow pointing down: an update.
        c = size / 2 - 0.5
        if (x - c) ** 2 + (y - c) ** 2 > (size / 2 - 0.5) ** 2:
            return None
        s = size / 32
        if abs(x - c) <= 2 * s and 6 * s <= y <= 18 * s:
            return (255, 255, 255)
        if 18 * s <= y <= 25 * s and abs(x - c) <= (25 * s - y):
            return (255, 255, 255)
        return (30, 110, 200)
    return pixel


def icon_image(size):
    p = icon_pixel(size)
    xor = bmp_rows(size, size, lambda x, y: p(x, y) or (0, 0, 0))
    mask = b""
    for y in reversed(range(size)):
        bits = 0
        row = b""
        for x in range(size):
            bits = (bits << 1) | (1 if p(x, y) is None else 0)
            if x % 8 == 7:
                row += bytes([bits])
                bits = 0
        mask += row + b"\0" * ((4 - len(row) % 4) % 4)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 24, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def write_icon(path):
    images = [icon_image(32), icon_image(16)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 24, len(data), offset)
        offset += len(data)
    open(path, "wb").write(out + b"".join(images))


def strip_pixel(x, y):
    image, x = divmod(x, 16)
    if image == 0 or not (2 <= x <= 13 and 2 <= y <= 13):
        return (255, 0, 255)
    if x in (2, 13) or y in (2, 13):
        return (0, 0, 0)
    if image == 2 and (y - x in (3, 4) and 4 <= x <= 6 or x + y in (15, 16) and 6 <= x <= 11):
        return (0, 0, 0)
    return (255, 255, 255)


def write_strip(path):
    width, height = 48, 16
    pixels = bmp_rows(width, height, strip_pixel)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(pixels), 0, 0, 14 + len(header))
    open(path, "wb").write(file_header + header + pixels)


if __name__ == "__main__":
    write_icon(sys.argv[1])
    write_strip(sys.argv[2])
