#!/usr/bin/env python3
"""Draws the sample application's icon (16x16 and 32x32, 32-bit) into an .ico file."""
import math
import struct
import sys


def image(size):
    rows = []
    c = (size - 1) / 2.0
    for y in range(size - 1, -1, -1):  # bottom-up
        row = b""
        for x in range(size):
            dx, dy = x - c, y - c
            r = math.hypot(dx, dy) / (size / 2.0)
            if r > 0.98:
                row += b"\0\0\0\0"
                continue
            # a teal disc with an orange ring and a light centre
            if r > 0.72:
                b, g, rr = 0x20, 0x80, 0xF0
            elif r < 0.30:
                b, g, rr = 0xF0, 0xF8, 0xF8
            else:
                t = (r - 0.30) / 0.42
                b, g, rr = int(0xC0 - 0x40 * t), int(0x90 - 0x20 * t), 0x10
            row += bytes((b, g, rr, 0xFF))
        rows.append(row)
    pixels = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    mask = b"\0" * (mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def main(out):
    sizes = [16, 32]
    images = [image(s) for s in sizes]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, img in zip(sizes, images):
        data += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(out, "wb") as f:
        f.write(data + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1])
