#!/usr/bin/env python3
"""Draws the library's icons as .ico files (32-bit colour with alpha, 16x16 and 32x32).

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


def main():
    drawings = {'progress.ico': progress}
    os.makedirs(os.path.join(HERE, 'icons'), exist_ok=True)
    for name, draw in drawings.items():
        with open(os.path.join(HERE, 'icons', name), 'wb') as f:
            f.write(ico([(16, draw(16)), (32, draw(32))]))


if __name__ == '__main__':
    main()
