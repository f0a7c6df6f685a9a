#!/usr/bin/env python3
"""Draws the toolbar bitmaps of the library's seven commands in the four toolbar sizes, and the 16x16
images of the panels' buttons.

Run it after changing a drawing: `python3 resources/draw_bitmaps.py`. It writes
resources/bitmaps/cmd<command>_<size>.bmp: 24 bits per pixel, except the first command at 16x16,
which has 8 bits per pixel and a palette; and resources/bitmaps/panel<id>.bmp, 16x16 at 24 bits per
pixel, one per button id a panel can have. The background is silver (192, 192, 192), the colour toolbars
and the property manager take as transparent. The .bmp files are kept in the repository, so a build needs
no Python.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, 'bitmaps')
BACKGROUND = (192, 192, 192)
SIZES = (16, 24, 32, 48)
SAMPLES = 4

STEEL = (96, 104, 120)
STEEL_LIGHT = (150, 158, 172)
DARK = (40, 44, 52)
GREEN = (24, 150, 48)
BLUE = (32, 96, 200)
WHITE = (255, 255, 255)
PAPER = (250, 250, 240)
ORANGE = (230, 130, 20)


# Shapes: functions of a point in the unit square (y downwards) that say whether the point is inside.
def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, width, start=None, end=None):
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if not (r - width / 2 <= d <= r + width / 2):
            return False
        if start is None:
            return True
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360
        return (a - start) % 360 <= (end - start) % 360
    return inside


def line(x0, y0, x1, y1, width):
    def inside(x, y):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= width / 2
    return inside


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


def bolt(ox, oy, scale):
    """A hexagon-headed bolt seen from the side, its head at the top."""
    def p(x, y):
        return ox + x * scale, oy + y * scale
    head = rect(*p(0.22, 0.05), *p(0.78, 0.30))
    head_shade = rect(*p(0.22, 0.05), *p(0.36, 0.30))
    shank = rect(*p(0.38, 0.30), *p(0.62, 0.95))
    threads = union(*[line(*p(0.38, y), *p(0.62, y + 0.06), 0.045 * scale) for y in (0.45, 0.6, 0.75, 0.88)])
    return [(head, STEEL), (head_shade, STEEL_LIGHT), (shank, STEEL), (threads, DARK)]


def plus(cx, cy, r, colour):
    return [(union(rect(cx - r, cy - r / 3, cx + r, cy + r / 3), rect(cx - r / 3, cy - r, cx + r / 3, cy + r)),
             colour)]


def gear(cx, cy, r, teeth, colour):
    body = circle(cx, cy, r * 0.72)
    tooth_shapes = []
    for i in range(teeth):
        a = 2 * math.pi * i / teeth
        tooth_shapes.append(line(cx + math.cos(a) * r * 0.6, cy + math.sin(a) * r * 0.6,
                                 cx + math.cos(a) * r, cy + math.sin(a) * r, r * 0.32))
    return [(minus(union(body, *tooth_shapes), circle(cx, cy, r * 0.3)), colour)]


def document(x0, y0, x1, y1):
    fold = (x1 - x0) * 0.3
    outline = polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)])
    border = minus(outline, polygon([(x0 + 0.05, y0 + 0.05), (x1 - fold - 0.02, y0 + 0.05),
                                     (x1 - 0.05, y0 + fold + 0.02), (x1 - 0.05, y1 - 0.05), (x0 + 0.05, y1 - 0.05)]))
    return [(outline, PAPER), (border, DARK)]


DRAWINGS = {
    # 1 insert a standard part: a bolt and a plus
    1: bolt(0.0, 0.0, 0.95) + plus(0.76, 0.76, 0.2, GREEN),
    # 2 find and replace: a magnifying glass
    2: [(circle(0.4, 0.4, 0.24), (200, 225, 250)), (ring(0.4, 0.4, 0.27, 0.1), DARK),
        (line(0.6, 0.6, 0.9, 0.9, 0.15), ORANGE)],
    # 3 update the links to the models: two chain links
    3: [(ring(0.36, 0.5, 0.22, 0.1), STEEL), (ring(0.64, 0.5, 0.22, 0.1, 300, 60), STEEL_LIGHT),
        (ring(0.64, 0.5, 0.22, 0.1, 60, 300), STEEL)],
    # 4 create specification objects: a bill of materials with its rows
    4: document(0.12, 0.05, 0.88, 0.95) + [
        (union(*[rect(0.24, y, 0.76, y + 0.06) for y in (0.35, 0.5, 0.65, 0.8)]), BLUE),
        (rect(0.38, 0.33, 0.42, 0.88), DARK)],
    # 5 a new part based on a standard one: a sheet with a bolt on it
    5: document(0.05, 0.05, 0.75, 0.9) + bolt(0.38, 0.38, 0.6),
    # 6 settings: a gear
    6: gear(0.5, 0.5, 0.46, 8, STEEL),
    # 7 help: a question mark in a blue disc
    7: [(circle(0.5, 0.5, 0.47), BLUE), (ring(0.5, 0.38, 0.17, 0.12, 180, 90), WHITE),
        (line(0.62, 0.5, 0.5, 0.6, 0.12), WHITE), (rect(0.44, 0.6, 0.56, 0.68), WHITE),
        (circle(0.5, 0.8, 0.075), WHITE)],
}


def render(layers, size):
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            colour = [0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    c = BACKGROUND
                    for shape, layer_colour in layers:
                        if shape(x, y):
                            c = layer_colour
                    for i in range(3):
                        colour[i] += c[i]
            row.append(tuple(int(round(v / (SAMPLES * SAMPLES))) for v in colour))
        pixels.append(row)
    return pixels


def bmp24(pixels):
    size = len(pixels)
    stride = (size * 3 + 3) // 4 * 4
    data = b''
    for row in reversed(pixels):
        line_bytes = b''.join(struct.pack('<BBB', b, g, r) for r, g, b in row)
        data += line_bytes + b'\0' * (stride - len(line_bytes))
    return header(size, 24, 0, data)


def bmp8(pixels):
    size = len(pixels)
    palette = []
    index = {}
    for row in pixels:
        for c in row:
            if c not in index:
                # Few distinct shades exist; any beyond 256 take the nearest one already listed.
                if len(palette) < 256:
                    index[c] = len(palette)
                    palette.append(c)
                else:
                    index[c] = min(range(len(palette)), key=lambda i: sum((a - b) ** 2 for a, b in zip(c, palette[i])))
    stride = (size + 3) // 4 * 4
    data = b''
    for row in reversed(pixels):
        line_bytes = bytes(index[c] for c in row)
        data += line_bytes + b'\0' * (stride - len(line_bytes))
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    return header(size, 8, len(palette), table + data)


def header(size, bits, colours, body):
    info = struct.pack('<IiiHHIIiiII', 40, size, size, 1, bits, 0, 0, 2835, 2835, colours, 0)
    offset = 14 + len(info) + colours * 4
    return struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(body), 0, 0, offset) + info + body


# Panel buttons: a button's bitmap has the button's id.
RED = (200, 40, 40)


def arrow(x0, y0, x1, y1, colour, width=0.12):
    """A line from (x0, y0) with a head at (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    length = math.hypot(dx, dy)
    ux, uy = dx / length, dy / length
    head = 0.28
    back_x, back_y = x1 - ux * head, y1 - uy * head
    return [(union(line(x0, y0, back_x, back_y, width),
                   polygon([(x1, y1), (back_x - uy * head * 0.6, back_y + ux * head * 0.6),
                            (back_x + uy * head * 0.6, back_y - ux * head * 0.6)])), colour)]


def plane(colour=STEEL_LIGHT, dy=0.0):
    """A plane seen at a slant, moved down by dy."""
    outline = polygon([(0.05, 0.75 + dy), (0.35, 0.45 + dy), (0.95, 0.45 + dy), (0.65, 0.75 + dy)])
    inside = polygon([(0.15, 0.71 + dy), (0.37, 0.5 + dy), (0.84, 0.5 + dy), (0.62, 0.71 + dy)])
    return [(outline, colour), (minus(outline, inside), DARK)]


def cylinder(colour=STEEL_LIGHT):
    return [(union(rect(0.25, 0.25, 0.75, 0.8), circle(0.5, 0.8, 0.25)), colour),
            (ring(0.5, 0.25, 0.25, 0.08), DARK), (line(0.25, 0.25, 0.25, 0.8, 0.08), DARK),
            (line(0.75, 0.25, 0.75, 0.8, 0.08), DARK), (ring(0.5, 0.8, 0.25, 0.08, 0, 180), DARK)]


def axis_line(colour=BLUE):
    return [(line(0.5, 0.05, 0.5, 0.95, 0.1), colour), (line(0.4, 0.3, 0.6, 0.3, 0.06), colour),
            (line(0.4, 0.7, 0.6, 0.7, 0.06), colour)]


def point(cx=0.5, cy=0.5, colour=RED):
    return [(union(line(cx - 0.3, cy, cx + 0.3, cy, 0.08), line(cx, cy - 0.3, cx, cy + 0.3, 0.08)), DARK),
            (circle(cx, cy, 0.13), colour)]


def edge(marker_x, colour=ORANGE):
    return [(line(0.1, 0.8, 0.9, 0.2, 0.14), colour), (circle(marker_x, 0.8 - (marker_x - 0.1) * 0.75, 0.12), DARK)]


def number(digit):
    """A small digit in the upper left corner: 1 or 2."""
    if digit == 1:
        return [(line(0.2, 0.05, 0.2, 0.4, 0.09), DARK)]
    return [(ring(0.2, 0.15, 0.1, 0.07, 180, 30), DARK), (line(0.28, 0.2, 0.1, 0.4, 0.07), DARK),
            (line(0.1, 0.4, 0.32, 0.4, 0.07), DARK)]


def pair(forward):
    """The two buttons of a direction pair: along the direction, or against it."""
    return [(line(0.1, 0.85, 0.9, 0.85, 0.08), STEEL)] + (
        arrow(0.2, 0.5, 0.9, 0.5, GREEN) if forward else arrow(0.8, 0.5, 0.1, 0.5, RED))


def sign(plus_sign):
    shapes = [(line(0.25, 0.5, 0.75, 0.5, 0.14), DARK)]
    if plus_sign:
        shapes.append((line(0.5, 0.25, 0.5, 0.75, 0.14), DARK))
    return [(ring(0.5, 0.5, 0.4, 0.08), STEEL)] + shapes


def cone(colour=STEEL_LIGHT):
    return [(polygon([(0.2, 0.85), (0.8, 0.85), (0.62, 0.15), (0.38, 0.15)]), colour),
            (minus(polygon([(0.2, 0.85), (0.8, 0.85), (0.62, 0.15), (0.38, 0.15)]),
                   polygon([(0.28, 0.79), (0.72, 0.79), (0.57, 0.21), (0.43, 0.21)])), DARK)]


PANEL = {
    # selections of the positioning panels
    9001: edge(0.25) + number(1),                          # first edge
    9002: edge(0.75) + number(2),                          # second edge
    9003: [(ring(0.5, 0.55, 0.33, 0.12), ORANGE), (circle(0.5, 0.55, 0.07), DARK)],  # round edge
    9004: plane() + arrow(0.5, 0.05, 0.5, 0.55, GREEN),   # start surface
    9005: plane() + arrow(0.5, 0.55, 0.5, 0.05, RED),     # end surface
    9006: cylinder(),                                      # cylindrical face
    9007: point(),                                         # point
    9008: cylinder() + [(union(*[line(0.25, y, 0.75, y - 0.1, 0.06) for y in (0.4, 0.55, 0.7)]), DARK)],  # thread
    9013: point(0.4, 0.6) + plus(0.78, 0.22, 0.2, GREEN),  # add a point
    9014: point(0.4, 0.6) + [(rect(0.58, 0.15, 0.98, 0.29), RED)],  # remove a point
    9017: [(line(0.1, 0.9, 0.6, 0.4, 0.1), STEEL)] + arrow(0.5, 0.5, 0.92, 0.08, BLUE),  # guiding object
    9018: pair(True),
    9019: pair(False),
    # the sub-modes of a placement: by coordinates, from two edges, at the centre of a circle, at a point
    9020: [(line(0.15, 0.85, 0.9, 0.85, 0.08), DARK), (line(0.15, 0.85, 0.15, 0.1, 0.08), DARK)] + point(0.6, 0.4),
    9021: [(line(0.1, 0.9, 0.1, 0.1, 0.1), ORANGE), (line(0.1, 0.9, 0.9, 0.9, 0.1), ORANGE)] + point(0.55, 0.45),
    9022: [(ring(0.5, 0.5, 0.38, 0.1), ORANGE)] + point(),
    9023: point() + [(ring(0.5, 0.5, 0.42, 0.05), STEEL)],
    9026: sign(True),
    9027: sign(False),
    9028: sign(True),
    9029: sign(False),
    # the mates of the part panel: coincidence, coaxiality, parallelism, attach point, cone
    9030: plane(dy=0.15) + plane((150, 200, 150), -0.35),
    9031: cylinder() + axis_line(),
    9032: [(line(0.1, 0.7, 0.7, 0.1, 0.1), BLUE), (line(0.3, 0.9, 0.9, 0.3, 0.1), BLUE)],
    9035: [(circle(0.5, 0.5, 0.4), (230, 230, 200)), (ring(0.5, 0.5, 0.4, 0.08), DARK)] + point(),
    9036: cone(),
    # direction pairs of the part panel's mates
    9040: pair(True), 9041: pair(False), 9042: pair(True), 9043: pair(False),
    9044: pair(True), 9045: pair(False), 9046: pair(True), 9047: pair(False),
    # the find panels: the kinds of library object, previous and next, choose a part
    9050: bolt(0.05, 0.05, 0.9),
    9051: [(rect(0.1, 0.35, 0.9, 0.9), STEEL_LIGHT), (rect(0.38, 0.35, 0.62, 0.8), (80, 80, 90))],
    9052: bolt(-0.1, 0.0, 0.75) + [(rect(0.5, 0.45, 0.95, 0.75), STEEL), (rect(0.5, 0.55, 0.95, 0.62), DARK)],
    9053: arrow(0.85, 0.5, 0.1, 0.5, BLUE, 0.16),
    9054: arrow(0.15, 0.5, 0.9, 0.5, BLUE, 0.16),
    9055: bolt(0.0, 0.05, 0.8) + arrow(0.95, 0.95, 0.55, 0.55, ORANGE, 0.1),
}


def main():
    os.makedirs(OUT, exist_ok=True)
    for button, layers in PANEL.items():
        with open(os.path.join(OUT, 'panel%d.bmp' % button), 'wb') as f:
            f.write(bmp24(render(layers, 16)))
    for command, layers in DRAWINGS.items():
        for size in SIZES:
            pixels = render(layers, size)
            data = bmp8(pixels) if (command, size) == (1, 16) else bmp24(pixels)
            with open(os.path.join(OUT, 'cmd%d_%d.bmp' % (command, size)), 'wb') as f:
                f.write(data)


if __name__ == '__main__':
    main()
