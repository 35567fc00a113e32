#!/usr/bin/env python3
"""Draws WandEdit's icon (16 x 16 and 32 x 32, 32-bit with alpha) into an .ico file.

A settings sheet with two sliders, and the green-yellow bar of the on-screen display.
"""
import struct
import sys

SUBSAMPLES = 4


def inside_rect(x, y, left, top, right, bottom):
    return left <= x <= right and top <= y <= bottom


def layers():
    """Shapes in a 16-unit square, drawn in order; each is (test, rgba)."""
    return [
        (lambda x, y: inside_rect(x, y, 1.5, 0.5, 14.5, 15.5), (40, 46, 60, 255)),
        (lambda x, y: inside_rect(x, y, 2.5, 1.5, 13.5, 14.5), (235, 238, 245, 255)),
        (lambda x, y: inside_rect(x, y, 2.5, 1.5, 13.5, 4.5), (30, 30, 30, 255)),
        (lambda x, y: inside_rect(x, y, 3.5, 2.3, 12.5, 3.7), (173, 255, 47, 255)),
        (lambda x, y: inside_rect(x, y, 4.0, 7.2, 12.0, 7.8), (90, 100, 120, 255)),
        (lambda x, y: inside_rect(x, y, 4.0, 11.2, 12.0, 11.8), (90, 100, 120, 255)),
        (lambda x, y: inside_rect(x, y, 8.5, 6.0, 10.5, 9.0), (40, 90, 200, 255)),
        (lambda x, y: inside_rect(x, y, 5.0, 10.0, 7.0, 13.0), (40, 90, 200, 255)),
    ]


def render(size):
    """Rows of (b, g, r, a), top row first, with straight alpha."""
    shapes = layers()
    scale = 16.0 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUBSAMPLES):
                for sx in range(SUBSAMPLES):
                    x = (px + (sx + 0.5) / SUBSAMPLES) * scale
                    y = (py + (sy + 0.5) / SUBSAMPLES) * scale
                    colour = (0, 0, 0, 0)
                    for test, rgba in shapes:
                        if test(x, y):
                            colour = rgba
                    a = colour[3] / 255.0
                    for i in range(3):
                        acc[i] += colour[i] * a
                    acc[3] += a
            alpha = acc[3] / (SUBSAMPLES * SUBSAMPLES)
            if alpha > 0:
                r, g, b = (round(acc[i] / acc[3]) for i in range(3))
            else:
                r = g = b = 0
            row.append((b, g, r, round(alpha * 255)))
        rows.append(row)
    return rows


def icon_image(size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes(p) for row in reversed(render(size)) for p in row)
    mask_row = ((size + 31) // 32) * 4
    return header + pixels + bytes(mask_row * size)


def write_icon(path, sizes):
    images = [icon_image(size) for size in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    write_icon(sys.argv[1], [32, 16])
