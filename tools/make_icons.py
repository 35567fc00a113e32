#!/usr/bin/env python3
"""Draws the programs' icons (16 x 16 and 32 x 32, 32-bit with alpha) into .ico files.

    make_icons.py FOLDER           Tellwand's icons, icon101.ico ... icon105.ico
    make_icons.py --editor FILE    WandEdit's icon

Tellwand: a remote control seen from the front; the state shows as its signal lamp:
101 the program, 103 enabled (green lamp), 104 a report is being handled (amber lamp
with signal waves), 105 disabled (greyed remote under a red no-entry sign).
WandEdit: a settings sheet with two sliders under the green-yellow bar of the on-screen display.
"""
import math
import struct
import sys
from pathlib import Path

SUBSAMPLES = 4


def rounded_rect(x, y, left, top, right, bottom, radius):
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2 and left <= x <= right and top <= y <= bottom


def circle(x, y, cx, cy, r):
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(x, y, cx, cy, r_outer, r_inner):
    d = (x - cx) ** 2 + (y - cy) ** 2
    return r_inner * r_inner <= d <= r_outer * r_outer


def remote_layers(state):
    """Shapes in a 16-unit square, drawn in order; each is (test, rgba)."""
    body = (70, 78, 92) if state != "disabled" else (150, 150, 150)
    edge = (30, 34, 42) if state != "disabled" else (100, 100, 100)
    keys = (200, 210, 225) if state != "disabled" else (205, 205, 205)
    lamp = {"idle": (40, 220, 70), "busy": (255, 190, 0), "disabled": (120, 120, 120)}[state]
    layers = [
        (lambda x, y: rounded_rect(x, y, 3.5, 0.5, 11.5, 15.5, 2.5), edge + (255,)),
        (lambda x, y: rounded_rect(x, y, 4.5, 1.5, 10.5, 14.5, 1.8), body + (255,)),
        (lambda x, y: circle(x, y, 7.5, 3.8, 1.9), lamp + (255,)),
    ]
    for row in range(3):
        for col in range(2):
            cx, cy = 6.2 + col * 2.6, 7.2 + row * 2.4
            layers.append((lambda x, y, cx=cx, cy=cy: circle(x, y, cx, cy, 0.8), keys + (255,)))
    if state == "busy":
        for r in (3.4, 5.6):
            layers.append((lambda x, y, r=r: ring(x, y, 10.0, 4.0, r, r - 1.3) and x > 10.0 and y < 4.0,
                           (255, 190, 0, 255)))
    if state == "disabled":
        red = (220, 30, 30, 255)
        layers.append((lambda x, y: ring(x, y, 10.5, 10.5, 5.2, 3.4), red))
        layers.append((lambda x, y: abs((x - 10.5) + (y - 10.5)) <= 1.3 and circle(x, y, 10.5, 10.5, 4.2), red))
    return layers


def rect(x, y, left, top, right, bottom):
    return left <= x <= right and top <= y <= bottom


def editor_layers():
    """Shapes in a 16-unit square, drawn in order; each is (test, rgba)."""
    return [
        (lambda x, y: rect(x, y, 1.5, 0.5, 14.5, 15.5), (40, 46, 60, 255)),
        (lambda x, y: rect(x, y, 2.5, 1.5, 13.5, 14.5), (235, 238, 245, 255)),
        (lambda x, y: rect(x, y, 2.5, 1.5, 13.5, 4.5), (30, 30, 30, 255)),
        (lambda x, y: rect(x, y, 3.5, 2.3, 12.5, 3.7), (173, 255, 47, 255)),
        (lambda x, y: rect(x, y, 4.0, 7.2, 12.0, 7.8), (90, 100, 120, 255)),
        (lambda x, y: rect(x, y, 4.0, 11.2, 12.0, 11.8), (90, 100, 120, 255)),
        (lambda x, y: rect(x, y, 8.5, 6.0, 10.5, 9.0), (40, 90, 200, 255)),
        (lambda x, y: rect(x, y, 5.0, 10.0, 7.0, 13.0), (40, 90, 200, 255)),
    ]


def render(layers, size):
    scale = 16.0 / size
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUBSAMPLES):
                for sx in range(SUBSAMPLES):
                    x = (px + (sx + 0.5) / SUBSAMPLES) * scale
                    y = (py + (sy + 0.5) / SUBSAMPLES) * scale
                    colour = (0, 0, 0, 0)
                    for test, rgba in layers:
                        if test(x, y):
                            colour = rgba
                    a = colour[3] / 255.0
                    acc[0] += colour[0] * a
                    acc[1] += colour[1] * a
                    acc[2] += colour[2] * a
                    acc[3] += a
            n = SUBSAMPLES * SUBSAMPLES
            alpha = acc[3] / n
            if alpha > 0:
                rgb = [int(round(c / acc[3])) for c in acc[:3]]
            else:
                rgb = [0, 0, 0]
            row.append((rgb[0], rgb[1], rgb[2], int(round(alpha * 255))))
        pixels.append(row)
    return pixels


def icon_image(pixels):
    """One icon image: BITMAPINFOHEADER, 32-bit BGRA rows bottom-up, then the AND mask."""
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def write_icon(path, layers):
    images = [icon_image(render(layers, size)) for size in (16, 32)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip((16, 32), images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    Path(path).write_bytes(out)


def main():
    if sys.argv[1] == "--editor":
        write_icon(Path(sys.argv[2]), editor_layers())
        return
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for number, state in ((101, "idle"), (103, "idle"), (104, "busy"), (105, "disabled")):
        write_icon(out / f"icon{number}.ico", remote_layers(state))


if __name__ == "__main__":
    main()
