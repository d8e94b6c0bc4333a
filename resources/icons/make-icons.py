#!/usr/bin/env python3
"""Draws Orvane's icon: a sheet of paper with lines of text and a pencil.

Writes orvane.svg and the PNG sizes 16, 32 and 48 from one description
of the shapes, so that all of them show the same picture. Needs only the
Python standard library:

    python3 resources/icons/make-icons.py
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
UNITS = 48.0

# Each shape: (kind, points, colour (r, g, b, a), stroke width or None).
PAGE = [(9, 4), (29, 4), (37, 12), (37, 44), (9, 44)]
FOLD = [(29, 4), (37, 12), (29, 12)]
LINES = [((14, y), (x, y)) for y, x in
         ((17, 31), (22, 31), (27, 31), (32, 26), (37, 20))]
PENCIL_BODY = [(40.5, 15.5), (45.5, 20.5), (29, 37), (24, 32)]
PENCIL_TIP = [(24, 32), (29, 37), (21.5, 39.5)]
PENCIL_LEAD = [(22.9, 35.3), (25.7, 38.1), (21.5, 39.5)]
PENCIL_END = [(40.5, 15.5), (45.5, 20.5), (47, 19), (42, 14)]

SHAPES = [
    ("polygon", PAGE, (253, 253, 246, 255), None),
    ("outline", PAGE, (78, 88, 100, 255), 1.5),
    ("polygon", FOLD, (214, 218, 224, 255), None),
    ("outline", FOLD, (78, 88, 100, 255), 1.5),
] + [("segment", line, (66, 118, 186, 255), 2.2) for line in LINES] + [
    ("polygon", PENCIL_BODY, (238, 160, 48, 255), None),
    ("polygon", PENCIL_TIP, (240, 214, 170, 255), None),
    ("polygon", PENCIL_LEAD, (50, 50, 50, 255), None),
    ("polygon", PENCIL_END, (210, 90, 90, 255), None),
    ("outline", PENCIL_BODY + [PENCIL_TIP[2]], (110, 70, 20, 255), 1.0),
]


def inside(points, x, y):
    result = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y):
            if x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
        j = i
    return result


def segment_distance(a, b, x, y):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    length = dx * dx + dy * dy
    t = 0.0 if length == 0 else max(0.0, min(1.0,
        ((x - ax) * dx + (y - ay) * dy) / length))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def covers(shape, x, y):
    kind, points, _, width = shape
    if kind == "polygon":
        return inside(points, x, y)
    if kind == "segment":
        return segment_distance(points[0], points[1], x, y) <= width / 2
    closed = list(points) + [points[0]]
    return any(segment_distance(closed[i], closed[i + 1], x, y) <= width / 2
               for i in range(len(points)))


def render(size, samples=6):
    scale = UNITS / size
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) * scale
                    y = (py + (sy + 0.5) / samples) * scale
                    cr = cg = cb = ca = 0.0
                    for shape in SHAPES:
                        if covers(shape, x, y):
                            sr, sg, sb, sa = (c / 255.0 for c in shape[2])
                            cr = sr * sa + cr * (1 - sa)
                            cg = sg * sa + cg * (1 - sa)
                            cb = sb * sa + cb * (1 - sa)
                            ca = sa + ca * (1 - sa)
                    r, g, b, a = r + cr, g + cg, b + cb, a + ca
            n = samples * samples
            alpha = a / n
            if alpha > 0:
                row += bytes((round(255 * r / n / alpha),
                              round(255 * g / n / alpha),
                              round(255 * b / n / alpha),
                              round(255 * alpha)))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def write_png(path, size, rows):
    def chunk(kind, data):
        body = kind + data
        return (struct.pack(">I", len(data)) + body
                + struct.pack(">I", zlib.crc32(body) & 0xffffffff))
    raw = b"".join(b"\0" + row for row in rows)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6,
                                             0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        out.write(chunk(b"IEND", b""))


def svg_colour(colour):
    r, g, b, _ = colour
    return "#%02x%02x%02x" % (r, g, b)


def write_svg(path):
    def point_list(points):
        return " ".join("%g,%g" % p for p in points)
    parts = []
    for kind, points, colour, width in SHAPES:
        if kind == "polygon":
            parts.append('  <polygon points="%s" fill="%s"/>'
                         % (point_list(points), svg_colour(colour)))
        elif kind == "outline":
            parts.append('  <polygon points="%s" fill="none" stroke="%s" '
                         'stroke-width="%g" stroke-linejoin="round"/>'
                         % (point_list(points), svg_colour(colour), width))
        else:
            (x1, y1), (x2, y2) = points
            parts.append('  <line x1="%g" y1="%g" x2="%g" y2="%g" '
                         'stroke="%s" stroke-width="%g" '
                         'stroke-linecap="round"/>'
                         % (x1, y1, x2, y2, svg_colour(colour), width))
    with open(path, "w") as out:
        out.write('<?xml version="1.0" encoding="UTF-8"?>\n'
                  '<svg xmlns="http://www.w3.org/2000/svg" width="48" '
                  'height="48" viewBox="0 0 48 48">\n'
                  '  <title>Orvane</title>\n'
                  + "\n".join(parts) + "\n</svg>\n")


def main():
    write_svg(os.path.join(HERE, "orvane.svg"))
    for size in (16, 32, 48):
        write_png(os.path.join(HERE, "orvane-%d.png" % size), size,
                  render(size))


if __name__ == "__main__":
    main()
