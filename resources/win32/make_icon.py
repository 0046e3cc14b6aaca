#!/usr/bin/env python3
"""Writes kelvar.ico: the program's icon, a 16x16 and a 32x32 image in 24-bit
colour with a transparency mask, drawn here as pixels so the icon has no
source but this script.  The picture: a list of three rows on a blue tile,
the first row marked green (the process you act on).

    python3 make_icon.py kelvar.ico
"""
import struct
import sys

BLUE = (0x2B, 0x57, 0x9A)
EDGE = (0x1B, 0x3A, 0x6B)
WHITE = (0xF4, 0xF6, 0xFA)
GREEN = (0x3C, 0xB3, 0x71)


def pixel(x, y, n):
    """Colour of pixel (x, y) on an n-by-n tile, or None where transparent."""
    s = n / 16.0
    r = 2 * s  # rounded corners
    cx = min(max(x + 0.5, r), n - r)
    cy = min(max(y + 0.5, r), n - r)
    if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 > r * r:
        return None
    if x < s or y < s or x >= n - s or y >= n - s:
        return EDGE
    for row in range(3):
        top = (3 + row * 4) * s
        if top <= y < top + 2 * s:
            if 3 * s <= x < 5 * s:
                return GREEN if row == 0 else WHITE
            if 6 * s <= x < 13 * s:
                return WHITE
    return BLUE


def image(n):
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(n)):  # bottom-up rows
        bits = 0
        row_mask = bytearray()
        for x in range(n):
            c = pixel(x, y, n)
            xor += bytes(reversed(c)) if c else b"\0\0\0"  # BGR
            bits = (bits << 1) | (0 if c else 1)
            if x % 8 == 7:
                row_mask.append(bits)
                bits = 0
        row_mask += b"\0" * (-len(row_mask) % 4)
        mask += row_mask
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 24, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def main(path):
    sizes = (16, 32)
    images = [image(n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 24, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "kelvar.ico")
