#!/usr/bin/env python3
"""Draws the program's icon (zelm.ico) and the dialog's picture (zelm.bmp).

The icon is one 32x32 image with 16 colours (4 bits per pixel) and a transparency mask; the
picture is a 48x48 bitmap with 4 bits per pixel, a 16-colour palette and no compression. Both
show the screen saver's subject: circular ripples on dark water with a spiral of glowing
particles above them. The output is deterministic, so the committed files can be regenerated
and compared byte for byte.

Usage: make_images.py [output directory]   (default: this script's directory)
"""

import math
import os
import struct
import sys

# Our 16-colour palette, as (red, green, blue): a ramp from deep water to foam, then the warm
# colours of the particles.
PALETTE = [
    (0x00, 0x00, 0x00),  # 0 black
    (0x04, 0x0C, 0x28),  # 1 deep water
    (0x08, 0x18, 0x48),  # 2
    (0x0C, 0x28, 0x68),  # 3
    (0x10, 0x3C, 0x88),  # 4
    (0x18, 0x54, 0xA4),  # 5
    (0x24, 0x70, 0xC0),  # 6
    (0x38, 0x90, 0xD8),  # 7
    (0x58, 0xB0, 0xE8),  # 8
    (0x88, 0xD0, 0xF4),  # 9
    (0xC8, 0xEC, 0xFC),  # 10 foam
    (0x60, 0x18, 0x08),  # 11 ember
    (0xB0, 0x40, 0x08),  # 12
    (0xF0, 0x80, 0x10),  # 13 flame
    (0xFC, 0xC8, 0x40),  # 14
    (0xFF, 0xFF, 0xFF),  # 15 white
]


def draw(size):
    """Returns size x size palette indices, top row first."""
    pixels = [[0] * size for _ in range(size)]
    centre = (size - 1) / 2.0
    scale = 32.0 / size
    # Water: concentric waves, brighter on the crests and towards the centre.
    for y in range(size):
        for x in range(size):
            r = math.hypot(x - centre, y - centre) * scale
            wave = 0.5 + 0.5 * math.cos(r * 1.1)
            fade = max(0.0, 1.0 - r / 22.0)
            level = 1 + int(round(wave * fade * 9.0))
            pixels[y][x] = min(level, 10)
    # Particles: dots along a spiral, hot at its tip.
    steps = 26
    for i in range(steps):
        t = i / (steps - 1)
        angle = t * 2.6 * math.pi
        radius = (1.5 + 11.5 * t) / scale
        px = int(round(centre + radius * math.cos(angle)))
        py = int(round(centre - radius * math.sin(angle)))
        colour = 11 + min(4, int(t * 5.0))
        dot = 1 if size < 40 or i % 3 else 2
        for dy in range(-dot + 1, dot):
            for dx in range(-dot + 1, dot):
                if 0 <= px + dx < size and 0 <= py + dy < size:
                    pixels[py + dy][px + dx] = colour
    return pixels


def palette_bytes():
    # RGBQUAD order: blue, green, red, reserved.
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def packed_rows(pixels, row_bytes):
    """4-bit rows, bottom row first, each padded to row_bytes."""
    out = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for x in range(0, len(row), 2):
            right = row[x + 1] if x + 1 < len(row) else 0
            line.append((row[x] << 4) | right)
        line.extend(b"\0" * (row_bytes - len(line)))
        out.extend(line)
    return bytes(out)


def info_header(width, height, image_bytes):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_bytes, 0, 0, 16, 16)


def make_icon():
    size = 32
    pixels = draw(size)
    xor = packed_rows(pixels, 16)
    # AND mask: 1 bits are transparent; keep a disc, clear the corners.
    centre = (size - 1) / 2.0
    mask = bytearray()
    for y in reversed(range(size)):
        bits = 0
        for x in range(size):
            outside = math.hypot(x - centre, y - centre) > size / 2.0
            bits = (bits << 1) | (1 if outside else 0)
        mask.extend(struct.pack(">I", bits))
    image = info_header(size, size * 2, len(xor) + len(mask)) + palette_bytes() + xor + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def make_bitmap():
    size = 48
    rows = packed_rows(draw(size), 24)
    header = info_header(size, size, len(rows)) + palette_bytes()
    offset = 14 + len(header)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    return file_header + header + rows


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(out, "zelm.ico"), "wb") as f:
        f.write(make_icon())
    with open(os.path.join(out, "zelm.bmp"), "wb") as f:
        f.write(make_bitmap())


if __name__ == "__main__":
    main()
