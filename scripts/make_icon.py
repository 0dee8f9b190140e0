#!/usr/bin/env python3
"""Draws Korveline's icon and writes it as a Windows .ico file.

The picture: a blue rounded tile with a white chevron prompt ">" and an
orange underscore cursor, the look of a command line waiting for assembly.
Sizes: 16 and 32 pixels in 256 colours (for classic Windows), 48 pixels in
32-bit colour and 256 pixels as PNG (for modern Windows).
Usage: make_icon.py OUTPUT.ico
       make_icon.py --png SIZE OUTPUT.png   (one size, for Linux desktops)
"""
import struct
import sys
import zlib


def shape_colour(u, v):
    """Colour (r, g, b, a) at the unit-square point (u, v), v going down."""
    # rounded tile
    r = 0.18
    m = 0.04
    x = min(max(u, m + r), 1 - m - r)
    y = min(max(v, m + r), 1 - m - r)
    if (u - x) ** 2 + (v - y) ** 2 > r * r or not (m <= u <= 1 - m and m <= v <= 1 - m):
        return (0, 0, 0, 0)
    # chevron ">" made of two thick strokes
    def near_segment(px, py, ax, ay, bx, by, w):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
        cx, cy = ax + t * dx, ay + t * dy
        return (px - cx) ** 2 + (py - cy) ** 2 <= w * w
    if near_segment(u, v, 0.24, 0.26, 0.52, 0.47, 0.075) or near_segment(u, v, 0.52, 0.47, 0.24, 0.68, 0.075):
        return (255, 255, 255, 255)
    if 0.56 <= u <= 0.80 and 0.63 <= v <= 0.73:
        return (255, 160, 32, 255)
    shade = int(60 * v)
    return (28 + shade // 3, 78 + shade // 2, 170 + shade // 2, 255)


def render(size):
    """RGBA rows, top row first, with 4x4 supersampling."""
    rows = []
    n = 4
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    c = shape_colour((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    for i in range(3):
                        acc[i] += c[i] * c[3]
                    acc[3] += c[3]
            a = acc[3] / (n * n)
            if acc[3]:
                row.append(tuple(int(acc[i] / acc[3]) for i in range(3)) + (int(a),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def palette():
    """The 6x6x6 colour cube and a grey ramp: 256 entries."""
    colours = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    colours += [(i * 255 // 39, i * 255 // 39, i * 255 // 39) for i in range(40)]
    return colours[:256]


def nearest(colours, c):
    return min(range(len(colours)), key=lambda i: sum((colours[i][k] - c[k]) ** 2 for k in range(3)))


def and_mask(rows, size):
    stride = ((size + 31) // 32) * 4
    data = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, c in enumerate(row):
            if c[3] < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        data += line
    return bytes(data)


def bmp_8bit(rows, size):
    colours = palette()
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    pal = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in colours)
    stride = (size + 3) & ~3
    cache = {}
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, c in enumerate(row):
            key = c[:3]
            if key not in cache:
                cache[key] = nearest(colours, key)
            line[x] = cache[key] if c[3] >= 128 else 0
        pixels += line
    return header + pal + bytes(pixels) + and_mask(rows, size)


def bmp_32bit(rows, size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(struct.pack('BBBB', c[2], c[1], c[0], c[3]) for row in reversed(rows) for c in row)
    return header + pixels + and_mask(rows, size)


def png(rows, size):
    raw = b''.join(b'\x00' + bytes(v for c in row for v in c) for row in rows)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def main():
    if sys.argv[1] == '--png':
        size = int(sys.argv[2])
        with open(sys.argv[3], 'wb') as f:
            f.write(png(render(size), size))
        return
    images = []
    for size, kind in ((16, 8), (32, 8), (48, 32), (256, 'png')):
        rows = render(size)
        if kind == 8:
            images.append((size, 256, 8, bmp_8bit(rows, size)))
        elif kind == 32:
            images.append((size, 0, 32, bmp_32bit(rows, size)))
        else:
            images.append((size, 0, 32, png(rows, size)))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, colours, bits, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack('<BBBBHHII', dim, dim, colours % 256, 0, 1, bits, len(data), offset)
        offset += len(data)
    out += b''.join(data for *_, data in images)
    with open(sys.argv[1], 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
