#!/usr/bin/env python3
"""Draws the setup pages' side picture (117 x 290, 24-bit BMP): a blue
gradient with a stack of three disks, the installer's emblem."""
import struct

W, H = 117, 290


def pixel(x, y):
    t = y / (H - 1)
    r, g, b = int(16 + 40 * t), int(40 + 90 * t), int(110 + 120 * t)
    # Three disks stacked near the bottom, each a light square with a shutter.
    for i in range(3):
        left, top = 24 + i * 6, 170 + i * 26
        if left <= x < left + 58 and top <= y < top + 58:
            inner = left + 14 <= x < left + 44 and top + 4 <= y < top + 20
            label = left + 8 <= x < left + 50 and top + 30 <= y < top + 54
            if inner:
                return (150, 150, 160)
            if label:
                return (245, 245, 235)
            return (30 + 20 * i, 30 + 20 * i, 60 + 20 * i)
    return (r, g, b)


def main():
    row = (W * 3 + 3) & ~3
    data = bytearray()
    for y in range(H - 1, -1, -1):
        line = bytearray()
        for x in range(W):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        line += b"\0" * (row - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open("install_theme.bmp", "wb") as f:
        f.write(header + info + data)


main()
