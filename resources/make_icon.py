#!/usr/bin/env python3
"""Writes stats.ico: the plug-in's icon, one 25 x 16 image in 24-bit colour.

The picture echoes the province grid: a green disc (a province still needed) overlapping
a magenta one (worked), each with a grey rim, on the grid's cream background.
Run it from anywhere; it writes next to itself.
"""
import os
import struct

W, H = 25, 16
CREAM = (255, 250, 198)
GREEN = (0, 255, 0)
MAGENTA = (255, 0, 255)
RIM = (128, 128, 128)


def inside(x, y, cx, cy, r):
    return (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r


def pixel(x, y):
    colour = CREAM
    # The green disc is drawn last and lies on top.
    for cx, face in ((17.0, MAGENTA), (8.0, GREEN)):
        if inside(x, y, cx, 8.0, 7.5):
            colour = face if inside(x, y, cx, 8.0, 6.3) else RIM
    return colour


def icon_bytes():
    row_bytes = (W * 3 + 3) // 4 * 4
    mask_row_bytes = (W + 31) // 32 * 4
    pixels = bytearray()
    for y in reversed(range(H)):  # bottom-up
        row = bytearray()
        for x in range(W):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(row_bytes - len(row))
        pixels += row
    mask = bytes(mask_row_bytes * H)  # every pixel opaque
    header = struct.pack("<IiiHHIIiiII", 40, W, H * 2, 1, 24, 0, len(pixels) + len(mask),
                         0, 0, 0, 0)
    image = header + pixels + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", W, H, 0, 0, 1, 24, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "stats.ico"), "wb") as f:
        f.write(icon_bytes())
