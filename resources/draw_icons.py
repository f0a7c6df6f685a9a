#!/usr/bin/env python3
"""Draws the library's icons as .ico files (32-bit colour with alpha, 16x16 and 32x32) and the hot points'
cursors as .cur files (32x32).

Run it after changing a drawing: `python3 resources/draw_icons.py`. The .ico files it writes are kept in
the repository beside it, so a build needs no Python.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def ico(images):
    """images: list of (size, pixels) where pixels[y][x] is (r, g, b, a), row 0 at the top."""
    header = struct.pack('<HHH', 0, 1, len(images))
    entries = b''
    blobs = b''
    offset = 6 + 16 * len(images)
    for size, pixels in images:
        blob = dib(size, pixels)
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        blobs += blob
        offset += len(blob)
    return header + entries + blobs


def cur(size, pixels, hotspot):
    """One 32-bit cursor image; hotspot (x, y) from the top left."""
    blob = dib(size, pixels)
    header = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, hotspot[0], hotspot[1], len(blob), 6 + 16)
    return header + entry + blob


def dib(size, pixels):
    # An icon image is a bottom-up DIB of twice the height: the colour rows, then the 1-bit AND mask.
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b''
    for y in reversed(range(size)):
        for x in range(size):
            r, g, b, a = pixels[y][x]
            colour += struct.pack('<BBBB', b, g, r, a)
    mask_row = ((size + 31) // 32) * 4
    mask = b''
    for y in reversed(range(size)):
        row = bytearray(mask_row)
        for x in range(size):
            if pixels[y][x][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(row)
    return info + colour + mask


def progress(size):
    """A framed bar, two thirds filled with green blocks: the progress window's small icon."""
    clear = (0, 0, 0, 0)
    frame = (64, 64, 64, 255)
    trough = (236, 236, 236, 255)
    green = (38, 160, 62, 255)
    light = (120, 210, 130, 255)
    pixels = [[clear] * size for _ in range(size)]
    unit = size // 16
    top, bottom = 4 * unit, 12 * unit - 1
    left, right = 0, size - 1
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            edge = y in (top, bottom) or x in (left, right)
            pixels[y][x] = frame if edge else trough
    filled = left + 1 + (right - left - 1) * 2 // 3
    block = 3 * unit
    for x in range(left + 2 * unit, filled):
        if (x - left - 2 * unit) % block == block - 1:
            continue  # the gap between two blocks
        for y in range(top + 2 * unit, bottom - 2 * unit + 1):
            pixels[y][x] = light if y == top + 2 * unit else green
    return pixels


def arrow_cursor(size, vertical):
    """A double arrow along x (or y when vertical), black with a white rim: a size point dragged that way."""
    clear, black, white = (0, 0, 0, 0), (0, 0, 0, 255), (255, 255, 255, 255)
    pixels = [[clear] * size for _ in range(size)]
    middle = size // 2
    shape = set()
    for t in range(4, size - 4):
        for w in (-1, 0, 1):
            shape.add((t, middle + w))
    for d in range(6):
        for w in range(-d, d + 1):
            shape.add((4 + d, middle + w))
            shape.add((size - 5 - d, middle + w))
    for (x, y) in list(shape):
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                p = (x + dx, y + dy)
                if p not in shape and 0 <= p[0] < size and 0 <= p[1] < size:
                    pixels[p[1]][p[0]] = white
    for (x, y) in shape:
        pixels[y][x] = black
    if vertical:
        pixels = [[pixels[x][y] for x in range(size)] for y in range(size)]
    return pixels


def turn_cursor(size):
    """A ring three quarters round with an arrow head at its end: the turning point."""
    import math
    clear, black, white = (0, 0, 0, 0), (0, 0, 0, 255), (255, 255, 255, 255)
    pixels = [[clear] * size for _ in range(size)]
    c = size / 2 - 0.5
    shape = set()
    for y in range(size):
        for x in range(size):
            r = math.hypot(x - c, y - c)
            a = math.degrees(math.atan2(c - y, x - c)) % 360
            if 8 <= r <= 10.5 and a <= 270:
                shape.add((x, y))
    tip_x, tip_y = int(c), int(c + 9)
    for d in range(5):
        for w in range(-4 + d, 5 - d):
            shape.add((tip_x - 1 - d, tip_y + w))
    for (x, y) in list(shape):
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                p = (x + dx, y + dy)
                if p not in shape and 0 <= p[0] < size and 0 <= p[1] < size:
                    pixels[p[1]][p[0]] = white
    for (x, y) in shape:
        pixels[y][x] = black
    return pixels


def main():
    drawings = {'progress.ico': progress}
    os.makedirs(os.path.join(HERE, 'icons'), exist_ok=True)
    for name, draw in drawings.items():
        with open(os.path.join(HERE, 'icons', name), 'wb') as f:
            f.write(ico([(16, draw(16)), (32, draw(32))]))
    cursors = {'along_x.cur': lambda s: arrow_cursor(s, False), 'along_y.cur': lambda s: arrow_cursor(s, True),
               'turn.cur': turn_cursor}
    for name, draw in cursors.items():
        with open(os.path.join(HERE, 'icons', name), 'wb') as f:
            f.write(cur(32, draw(32), (16, 16)))


if __name__ == '__main__':
    main()
