#!/usr/bin/env python3
"""Draws the program's icon and writes it as a Windows .ico file.

A teal tile with a white receipt coming out of a dark printer, at 16, 32 and
48 pixels, each as a 32-bit image with its transparency mask.
    MakeIcon.py OUTPUT.ico
"""
import struct
import sys

TEAL = (0x80, 0x80, 0x00, 0xFF)   # B, G, R, A
DARK = (0x40, 0x40, 0x40, 0xFF)
WHITE = (0xFF, 0xFF, 0xFF, 0xFF)
LINE = (0x80, 0x80, 0x80, 0xFF)
CLEAR = (0, 0, 0, 0)


def pixel(x, y, n):
    """The colour at (x, y), y from the top, of an n × n icon."""
    u, v = (x + 0.5) / n, (y + 0.5) / n
    corner = 0.16
    # Rounded tile.
    dx = max(corner - u, 0, u - (1 - corner))
    dy = max(corner - v, 0, v - (1 - corner))
    if dx * dx + dy * dy > corner * corner:
        return CLEAR
    if 0.28 <= u <= 0.72 and 0.14 <= v <= 0.86:   # the receipt
        if v >= 0.42 and 0.34 <= u <= 0.66 and int(v * n) % 3 == 0 and n >= 32:
            return LINE
        return WHITE
    if 0.14 <= u <= 0.86 and 0.30 <= v <= 0.58:   # the printer around it
        return DARK
    return TEAL


def image(n):
    rows = []
    for y in reversed(range(n)):   # bottom-up
        rows.append(b"".join(bytes(pixel(x, y, n)) for x in range(n)))
    colour = b"".join(rows)
    mask_row = ((n + 31) // 32) * 4
    mask = b"".join(
        bytes(
            sum(0x80 >> bit for bit in range(8) if x + bit < n and pixel(x + bit, y, n)[3] == 0)
            for x in range(0, mask_row * 8, 8)
        )
        for y in reversed(range(n))
    )
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return header + colour + mask


def main():
    sizes = [16, 32, 48]
    images = [image(n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
