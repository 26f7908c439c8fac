#!/usr/bin/env python3
"""Writes the banner picture of the sample branding module: a 460x72 24-bit
BMP with a colour gradient and a few woven threads. Deterministic output.

usage: make_banner.py OUT.bmp
"""
import math
import struct
import sys

W, H = 460, 72


def pixel(x, y):
    t = x / (W - 1)
    # Background: deep blue on the left to teal on the right, darker at the foot.
    shade = 1.0 - 0.25 * (y / (H - 1))
    r, g, b = (20 + 10 * t) * shade, (50 + 90 * t) * shade, (110 + 40 * t) * shade
    # Three threads weaving across the banner.
    for k, (amp, phase, colour) in enumerate(((14, 0.0, (250, 200, 90)),
                                              (11, 2.1, (240, 240, 250)),
                                              (9, 4.2, (120, 220, 200)))):
        cy = H / 2 + amp * math.sin(x / (36 + 9 * k) + phase)
        d = abs(y - cy)
        if d < 2.2:
            a = 1.0 if d < 1.2 else (2.2 - d)
            r, g, b = (r + (colour[0] - r) * a, g + (colour[1] - g) * a, b + (colour[2] - b) * a)
    # A ring on the right, like a spool seen end-on.
    d = math.hypot(x - (W - 48), y - H / 2)
    if 20 <= d <= 26:
        r, g, b = 245, 245, 250
    elif d < 8:
        r, g, b = 250, 200, 90
    return int(b), int(g), int(r)


def main():
    row_size = (W * 3 + 3) & ~3
    rows = []
    for y in range(H - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(W):
            row += bytes(pixel(x, y))
        row += b"\0" * (row_size - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(sys.argv[1], "wb") as f:
        f.write(header + info + data)


if __name__ == "__main__":
    main()
