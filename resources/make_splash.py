#!/usr/bin/env python3
"""Draws the launcher's splash pictures as 8-bit palette BMP files.

usage: make_splash.py OUT_DIR
Writes splash197.bmp (566 x 400) and splash198.bmp (640 x 480): the name
VELKOR in smooth strokes over a calm blue gradient. The palette holds 64
background shades, each at 4 levels of ink, so the letters keep soft edges.
"""
import math
import os
import struct
import sys

SHADES = 64
INK_LEVELS = 4
TOP = (16, 36, 62)
BOTTOM = (44, 92, 118)
INK = (236, 242, 246)


def polyline(points):
    return list(zip(points, points[1:]))


def arc(cx, cy, rx, ry, start, end, steps=24):
    return [(cx + rx * math.cos(math.radians(start + (end - start) * i / steps)),
             cy + ry * math.sin(math.radians(start + (end - start) * i / steps)))
            for i in range(steps + 1)]


# Letters as strokes in a box one unit high (y grows downwards): (width, segments).
GLYPHS = {
    "V": (0.9, polyline([(0, 0), (0.45, 1), (0.9, 0)])),
    "E": (0.66, polyline([(0.66, 0), (0, 0), (0, 1), (0.66, 1)]) + [((0, 0.5), (0.56, 0.5))]),
    "L": (0.62, polyline([(0, 0), (0, 1), (0.62, 1)])),
    "K": (0.74, [((0, 0), (0, 1)), ((0.72, 0), (0, 0.6)), ((0.24, 0.42), (0.74, 1))]),
    "O": (0.92, polyline(arc(0.46, 0.5, 0.46, 0.5, 0, 360, 48))),
    "R": (0.72, polyline([(0, 1), (0, 0), (0.42, 0)] + arc(0.42, 0.26, 0.26, 0.26, -90, 90)
                         + [(0, 0.52)]) + [((0.36, 0.52), (0.72, 1))]),
    "U": (0.72, polyline([(0, 0), (0, 0.64)] + arc(0.36, 0.64, 0.36, 0.36, 180, 0)
                         + [(0.72, 0)])),
    "1": (0.42, polyline([(0.04, 0.2), (0.34, 0), (0.34, 1)])),
    "5": (0.64, polyline([(0.62, 0), (0.06, 0), (0.02, 0.44)])
          + polyline(arc(0.32, 0.68, 0.32, 0.32, -110, 150))),
    " ": (0.4, []),
}


def segment_distance(px, py, a, b):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    length = dx * dx + dy * dy
    t = 0.0 if length == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def draw_text(ink, width, text, left, top, size, stroke, spacing, strength):
    """Adds the text's coverage (0..strength) to the ink map."""
    x = left
    half = stroke / 2
    for letter in text:
        advance, segments = GLYPHS[letter]
        scaled = [((x + ax * size, top + ay * size), (x + bx * size, top + by * size))
                  for (ax, ay), (bx, by) in segments]
        x0, x1 = int(x - stroke), int(x + advance * size + stroke) + 1
        y0, y1 = int(top - stroke), int(top + size + stroke) + 1
        for py in range(y0, y1):
            row = ink[py]
            for px in range(x0, x1):
                if not scaled:
                    break
                d = min(segment_distance(px + 0.5, py + 0.5, a, b) for a, b in scaled)
                cover = max(0.0, min(1.0, half - d + 0.5)) * strength
                if cover > row[px]:
                    row[px] = cover
        x += (advance + spacing) * size


def text_width(text, size, spacing):
    return sum((GLYPHS[c][0] + spacing) * size for c in text) - spacing * size


def picture(width, height):
    ink = [[0.0] * width for _ in range(height)]
    size = height * 0.2
    spacing = 0.22
    left = (width - text_width("VELKOR", size, spacing)) / 2
    top = height * 0.32
    draw_text(ink, width, "VELKOR", left, top, size, size * 0.11, spacing, 1.0)
    # A quiet rule under the name and the release beneath it.
    rule_top = int(top + size * 1.32)
    for px in range(int(left), int(width - left)):
        ink[rule_top][px] = 0.55
    small = size * 0.26
    draw_text(ink, width, "RUR 15", (width - text_width("RUR 15", small, 0.3)) / 2,
              rule_top + size * 0.28, small, small * 0.14, 0.3, 0.7)
    pixels = bytearray()
    for y in range(height - 1, -1, -1):  # bottom-up rows
        # The shade follows a gentle diagonal, so the gradient is not flat bands.
        row = ink[y]
        for x in range(width):
            shade = int((y / height * 0.8 + x / width * 0.2) * (SHADES - 1) + 0.5)
            pixels.append(shade * INK_LEVELS + int(row[x] * (INK_LEVELS - 1) + 0.5))
        pixels.extend(b"\0" * (-width % 4))
    return pixels


def palette():
    entries = bytearray()
    for shade in range(SHADES):
        t = shade / (SHADES - 1)
        background = [a + (b - a) * t for a, b in zip(TOP, BOTTOM)]
        for level in range(INK_LEVELS):
            k = level / (INK_LEVELS - 1)
            r, g, b = (int(c + (i - c) * k + 0.5) for c, i in zip(background, INK))
            entries += bytes((b, g, r, 0))
    return entries


def write_bmp(path, width, height):
    pixels = picture(width, height)
    colours = palette()
    offset = 14 + 40 + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 2835, 2835,
                       256, 0)
    temporary = path + ".new"
    with open(temporary, "wb") as out:
        out.write(header + info + colours + pixels)
    os.replace(temporary, path)


def main():
    out_dir = sys.argv[1]
    os.makedirs(out_dir, exist_ok=True)
    write_bmp(os.path.join(out_dir, "splash197.bmp"), 566, 400)
    write_bmp(os.path.join(out_dir, "splash198.bmp"), 640, 480)


if __name__ == "__main__":
    main()
