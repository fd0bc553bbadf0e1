#!/usr/bin/env python3
"""Reads text and pixel blocks off a screenshot, for the tests of zelm at output scales.

usage: glyph_pixels.py blocks SHOT
         the share of the lit 2x2 pixel blocks whose four pixels are one colour
       glyph_pixels.py text INK SHOT X Y SCALE COUNT
         decodes COUNT glyphs drawn with their top-left corner at pixel (X, Y), SCALE pixels per
         font texel, against INK (the font's 128x128 glyph mask); prints the text, and fails
         when a pixel is lit that no ink texel of its own glyph cell could have lit (a texel of a
         neighbouring glyph showing), or, at a whole SCALE, when a pixel differs from its texel.
"""
import subprocess
import sys


def gray(path):
    size = subprocess.run(["identify", "-format", "%w %h", path], capture_output=True,
                          text=True, check=True).stdout.split()
    data = subprocess.run(["convert", path, "-colorspace", "gray", "-depth", "8", "gray:-"],
                          capture_output=True, check=True).stdout
    return int(size[0]), int(size[1]), data


def blocks(path):
    data = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True,
                          check=True).stdout
    w, h = map(int, subprocess.run(["identify", "-format", "%w %h", path], capture_output=True,
                                   text=True, check=True).stdout.split())
    lit = same = 0
    for y in range(0, h - 1, 2):
        for x in range(0, w - 1, 2):
            px = [data[3 * (yy * w + xx):3 * (yy * w + xx) + 3]
                  for yy in (y, y + 1) for xx in (x, x + 1)]
            if max(max(p) for p in px) > 24:
                lit += 1
                same += px.count(px[0]) == 4
    print(f"{same / lit:.3f}" if lit else "1.000")


def text(ink_path, shot_path, x0, y0, scale, count):
    _, _, ink = gray(ink_path)
    w, _, shot = gray(shot_path)
    cells = {code: [[ink[((code // 16) * 8 + j) * 128 + (code % 16) * 8 + i] > 127
                     for i in range(8)] for j in range(8)] for code in range(32, 127)}
    whole = scale == int(scale)
    decoded, faults = [], []
    for k in range(count):
        # The glyph that the pixels nearest the texel centres show: lit above half the ink's
        # half brightness.
        seen = [[shot[int(y0 + (j + 0.5) * scale) * w + int(x0 + (8 * k + i + 0.5) * scale)] > 64
                 for i in range(8)] for j in range(8)]
        code = min(cells, key=lambda c: sum(a != b for ra, rb in zip(cells[c], seen)
                                            for a, b in zip(ra, rb)))
        decoded.append(chr(code))
        cell = cells[code]
        left, right = x0 + 8 * k * scale, x0 + 8 * (k + 1) * scale
        for py in range(int(y0), int(y0 + 8 * scale + 1)):
            for px in range(int(left), int(right + 1)):
                u, v = (px + 0.5 - left) / scale, (py + 0.5 - y0) / scale
                if not (0 <= u < 8 and 0 <= v < 8):
                    continue  # the pixel's centre is in another cell
                i, j = int(u), int(v)
                value = shot[py * w + px]
                if whole:
                    if (value > 64) != cell[j][i] or (not cell[j][i] and value > 24):
                        faults.append(f"pixel ({px}, {py}) of {chr(code)!r}: {value}")
                elif value > 24 and not any(cell[b][a] for b in range(max(j - 1, 0), min(j + 2, 8))
                                            for a in range(max(i - 1, 0), min(i + 2, 8))):
                    faults.append(f"pixel ({px}, {py}) lit by no ink of {chr(code)!r}: {value}")
    print("".join(decoded))
    if faults:
        sys.exit(f"{len(faults)} pixels off the glyphs, the first: {faults[0]}")


if __name__ == "__main__":
    if sys.argv[1] == "blocks":
        blocks(sys.argv[2])
    else:
        text(sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5]), float(sys.argv[6]),
             int(sys.argv[7]))
