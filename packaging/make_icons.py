#!/usr/bin/env python3
"""Draws the desktop icons: zelm.png at 16, 32, 48, 64, 128 and 256 pixels, in the hicolor
theme's layout (SIZExSIZE/apps/zelm.png), from the same drawing and palette as the Windows icon
(resources/make_images.py), with the same round outline: the corners are transparent.

Usage: make_icons.py OUTPUT_DIRECTORY
"""

import math
import os
import struct
import sys
import zlib

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources"))
import make_images  # noqa: E402  the drawing is shared with the Windows icon

SIZES = (16, 32, 48, 64, 128, 256)


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def make_png(size):
    """An 8-bit RGBA PNG of the drawing at size x size."""
    pixels = make_images.draw(size)
    centre = (size - 1) / 2.0
    rows = bytearray()
    for y in range(size):
        rows.append(0)  # filter: none
        for x in range(size):
            r, g, b = make_images.PALETTE[pixels[y][x]]
            inside = math.hypot(x - centre, y - centre) <= size / 2.0
            rows.extend((r, g, b, 255 if inside else 0))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) +
            png_chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + png_chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    for size in SIZES:
        folder = os.path.join(sys.argv[1], "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "zelm.png"), "wb") as f:
            f.write(make_png(size))


if __name__ == "__main__":
    main()
