#!/usr/bin/env python3
"""Draws the remote's picture and the images of its 35 keys as .bmp files.

Writes into the output folder, the bitmap ids taken from WandEdit's resource ids
(IDB_REMOTE 143, IDB_KEY_NORMAL 300 and IDB_KEY_LIT 400 today):
  bitmap<IDB_REMOTE>.bmp           the remote, 121 x 352 pixels
  bitmap<IDB_KEY_NORMAL + n>.bmp   each key n as drawn in the picture (normal)
  bitmap<IDB_KEY_LIT + n>.bmp      each key n lit (highlighted)
  artwork.rc                       the resource lines for all of them
  remote_layout.h          where the pointing pad and its mouse keys lie in the picture

Every key image is cut from a full drawing of the remote (plain or with every key lit), so
the images fit the picture seamlessly when laid over it at the key's rectangle.

Usage: make_artwork.py OUTPUT_FOLDER BUTTONS_CPP RESOURCE_IDS_H
"""
import re
import struct
import sys
from pathlib import Path

WIDTH, HEIGHT = 121, 352
# The picture's top left corner in the client coordinates of the editor's dialog, in which
# the key rectangles are given.
ORIGIN = (12, 13)

# Key rectangles in dialog coordinates: left, top, right, bottom (right and bottom exclusive).
# They are read from the button table of the programs (config/buttons.cpp), so the picture and
# the dialog's buttons cannot disagree.
KEY_RECTS = []

BUTTON_ENTRY = re.compile(
    r'\{\s*\d+\s*,\s*"[^"]*"\s*,\s*\{\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*\}\s*\}'
)
BUTTON_COUNT = 35


def read_key_rects(buttons_cpp):
    rects = [tuple(int(v) for v in m.groups()) for m in BUTTON_ENTRY.finditer(buttons_cpp.read_text())]
    if len(rects) != BUTTON_COUNT:
        sys.exit(f"{buttons_cpp}: found {len(rects)} button rectangles, expected {BUTTON_COUNT}")
    return rects

# The pointing pad and its two mouse keys, in picture coordinates.
PAD_CENTRE = (60.5, 97.0)
PAD_RADIUS = 30.0
LEFT_MOUSE_KEY = (10, 131, 47, 148)
RIGHT_MOUSE_KEY = (74, 131, 111, 148)

SUBSAMPLES = 4

BACKGROUND = (240, 240, 240)
BODY = (44, 47, 55)
BODY_EDGE = (18, 19, 23)
BODY_SHINE = (72, 76, 88)
PRINT = (206, 210, 220)
KEY_OUTLINE = (14, 15, 18)
LIT_FILL_TOP = (255, 255, 232)
LIT_FILL = (255, 206, 70)
LIT_OUTLINE = (255, 246, 190)
LIT_INK = (60, 30, 0)

# A 3 x 5 pixel font for the print on and around the keys; a few letters are wider or narrower.
GLYPHS = {
    "A": [".#.", "#.#", "###", "#.#", "#.#"], "B": ["##.", "#.#", "##.", "#.#", "##."],
    "C": [".##", "#..", "#..", "#..", ".##"], "D": ["##.", "#.#", "#.#", "#.#", "##."],
    "E": ["###", "#..", "##.", "#..", "###"], "F": ["###", "#..", "##.", "#..", "#.."],
    "G": [".##", "#..", "#.#", "#.#", ".##"], "H": ["#.#", "#.#", "###", "#.#", "#.#"],
    "I": ["#", "#", "#", "#", "#"], "J": ["..#", "..#", "..#", "#.#", ".#."],
    "K": ["#.#", "#.#", "##.", "#.#", "#.#"], "L": ["#..", "#..", "#..", "#..", "###"],
    "M": ["#...#", "##.##", "#.#.#", "#...#", "#...#"],
    "N": ["#..#", "##.#", "#.##", "#..#", "#..#"], "O": [".#.", "#.#", "#.#", "#.#", ".#."],
    "P": ["##.", "#.#", "##.", "#..", "#.."], "Q": [".#.", "#.#", "#.#", "##.", ".##"],
    "R": ["##.", "#.#", "##.", "#.#", "#.#"], "S": [".##", "#..", ".#.", "..#", "##."],
    "T": ["###", ".#.", ".#.", ".#.", ".#."], "U": ["#.#", "#.#", "#.#", "#.#", "###"],
    "V": ["#.#", "#.#", "#.#", "#.#", ".#."],
    "W": ["#...#", "#...#", "#.#.#", "##.##", "#...#"],
    "X": ["#.#", "#.#", ".#.", "#.#", "#.#"], "Y": ["#.#", "#.#", ".#.", ".#.", ".#."],
    "Z": ["###", "..#", ".#.", "#..", "###"],
    "0": ["###", "#.#", "#.#", "#.#", "###"], "1": [".#.", "##.", ".#.", ".#.", "###"],
    "2": ["##.", "..#", ".#.", "#..", "###"], "3": ["##.", "..#", ".#.", "..#", "##."],
    "4": ["#.#", "#.#", "###", "..#", "..#"], "5": ["###", "#..", "##.", "..#", "##."],
    "6": [".##", "#..", "###", "#.#", "###"], "7": ["###", "..#", ".#.", ".#.", ".#."],
    "8": ["###", "#.#", "###", "#.#", "###"], "9": ["###", "#.#", "###", "..#", "##."],
    " ": ["..", "..", "..", "..", ".."],
}
GLYPH_HEIGHT = 5


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [[colour for _ in range(width)] for _ in range(height)]

    def blend(self, x, y, colour, alpha):
        if alpha <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        alpha = min(alpha, 1.0)
        old = self.pixels[y][x]
        self.pixels[y][x] = tuple(o + (c - o) * alpha for o, c in zip(old, colour))

    def fill(self, inside, box, colour):
        """Paints `colour` where inside(x, y) holds, anti-aliased; box bounds the shape."""
        left, top, right, bottom = (int(v) for v in box)
        for py in range(max(top, 0), min(bottom + 1, self.height)):
            for px in range(max(left, 0), min(right + 1, self.width)):
                coverage = pixel_coverage(inside, px, py)
                if coverage > 0:
                    colour_here = colour(px, py) if callable(colour) else colour
                    self.blend(px, py, colour_here, coverage)

    def cut(self, rect):
        left, top, right, bottom = rect
        return [row[left:right] for row in self.pixels[top:bottom]]


def pixel_coverage(inside, px, py):
    """The share of pixel (px, py) that the shape covers. Pixels whose corners and centre
    agree are taken as wholly in or out (no shape here is thinner than half a pixel)."""
    probes = [inside(px + dx, py + dy) for dx, dy in ((0, 0), (1, 0), (0, 1), (1, 1), (0.5, 0.5))]
    if all(probes):
        return 1.0
    if not any(probes):
        return 0.0
    hits = 0
    for sy in range(SUBSAMPLES):
        for sx in range(SUBSAMPLES):
            if inside(px + (sx + 0.5) / SUBSAMPLES, py + (sy + 0.5) / SUBSAMPLES):
                hits += 1
    return hits / (SUBSAMPLES * SUBSAMPLES)


# Shapes: predicates on continuous picture coordinates.

def rounded_rect(left, top, right, bottom, radius):
    def inside(x, y):
        if not (left <= x <= right and top <= y <= bottom):
            return False
        cx = min(max(x, left + radius), right - radius)
        cy = min(max(y, top + radius), bottom - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    return inside


def ellipse(left, top, right, bottom):
    cx, cy = (left + right) / 2, (top + bottom) / 2
    rx, ry = (right - left) / 2, (bottom - top) / 2
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def segment(x0, y0, x1, y1, width):
    def inside(x, y):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        return (x - x0 - t * dx) ** 2 + (y - y0 - t * dy) ** 2 <= (width / 2) ** 2
    return inside


def union(*shapes):
    return lambda x, y: any(shape(x, y) for shape in shapes)


def shade(colour, factor):
    return tuple(max(0, min(255, c * factor)) for c in colour)


def vertical_gradient(top_colour, bottom_colour, top, bottom):
    def colour(_, y):
        t = min(max((y - top) / max(bottom - top, 1), 0.0), 1.0)
        return tuple(a + (b - a) * t for a, b in zip(top_colour, bottom_colour))
    return colour


# Text

def text_mask(text):
    """The text in the pixel font as rows of 0/1, one blank column between letters."""
    rows = [[] for _ in range(GLYPH_HEIGHT)]
    for index, char in enumerate(text.upper()):
        glyph = GLYPHS[char]
        for row, line in zip(rows, glyph):
            if index > 0:
                row.append(0)
            row.extend(1 if c == "#" else 0 for c in line)
    return rows


def resample(values, size):
    """Box-filters a list of coverages down to `size` entries (never up)."""
    if size >= len(values):
        return list(values)
    step = len(values) / size
    out = []
    for i in range(size):
        start, end = i * step, (i + 1) * step
        total, x = 0.0, int(start)
        while x < end and x < len(values):
            total += values[x] * (min(end, x + 1) - max(start, x))
            x += 1
        out.append(total / step)
    return out


def draw_text(canvas, text, box, colour, align="center"):
    """Prints text inside box (left, top, right, bottom), vertically centred; text too large
    for the box is squeezed into it, as small print is."""
    left, top, right, bottom = box
    mask = text_mask(text)
    width = min(len(mask[0]), right - left)
    height = min(GLYPH_HEIGHT, bottom - top)
    rows = [resample(row, width) for row in mask]
    columns = [resample(list(column), height) for column in zip(*rows)]
    x0 = {"left": left, "right": right - width}.get(align, left + (right - left - width) // 2)
    y0 = top + (bottom - top - height) // 2
    for dx, column in enumerate(columns):
        for dy, coverage in enumerate(column):
            canvas.blend(x0 + dx, y0 + dy, colour, coverage)


# Symbols, each drawn into a key's box (left, top, right, bottom) centred on (cx, cy).

def triangle_right(cx, cy, w, h):
    return polygon([(cx - w / 2, cy - h / 2), (cx + w / 2, cy), (cx - w / 2, cy + h / 2)])


def triangle_left(cx, cy, w, h):
    return polygon([(cx + w / 2, cy - h / 2), (cx - w / 2, cy), (cx + w / 2, cy + h / 2)])


def triangle_up(cx, cy, w, h):
    return polygon([(cx - w / 2, cy + h / 2), (cx, cy - h / 2), (cx + w / 2, cy + h / 2)])


def triangle_down(cx, cy, w, h):
    return polygon([(cx - w / 2, cy - h / 2), (cx, cy + h / 2), (cx + w / 2, cy - h / 2)])


def bar(left, top, right, bottom):
    return lambda x, y: left <= x <= right and top <= y <= bottom


def skip_back(cx, cy):
    return union(bar(cx - 6, cy - 3, cx - 4.8, cy + 3), triangle_left(cx - 1.9, cy, 4.2, 6),
                 triangle_left(cx + 2.3, cy, 4.2, 6))


def skip_forward(cx, cy):
    return union(triangle_right(cx - 2.3, cy, 4.2, 6), triangle_right(cx + 1.9, cy, 4.2, 6),
                 bar(cx + 4.8, cy - 3, cx + 6, cy + 3))


def play_pause(cx, cy):
    return union(triangle_right(cx - 2.5, cy, 4.5, 6), bar(cx + 1.2, cy - 3, cx + 2.5, cy + 3),
                 bar(cx + 3.7, cy - 3, cx + 5, cy + 3))


def eject(cx, cy):
    return union(triangle_up(cx, cy - 1.2, 7, 3.6), bar(cx - 3.5, cy + 1.6, cx + 3.5, cy + 3))


def mute(cx, cy):
    speaker = polygon([(cx - 5, cy - 1.5), (cx - 3, cy - 1.5), (cx, cy - 4.5), (cx, cy + 4.5),
                       (cx - 3, cy + 1.5), (cx - 5, cy + 1.5)])
    return union(speaker, segment(cx + 1.8, cy - 2.5, cx + 5.8, cy + 2.5, 1.2),
                 segment(cx + 1.8, cy + 2.5, cx + 5.8, cy - 2.5, 1.2))


def window(cx, cy):
    outer = bar(cx - 5, cy - 3.5, cx + 5, cy + 3.5)
    inner = bar(cx - 4, cy - 1.5, cx + 4, cy + 2.5)
    return lambda x, y: outer(x, y) and not inner(x, y)


def enter_arrow(cx, cy):
    return union(segment(cx + 2, cy - 3, cx + 2, cy + 1, 1.1), segment(cx + 2, cy + 1, cx - 1, cy + 1, 1.1),
                 triangle_left(cx - 1.8, cy + 1, 2.6, 4))


def power_symbol(cx, cy):
    ring = lambda x, y: 2.4 ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= 3.6 ** 2
    gap = lambda x, y: y < cy and abs(x - cx) < 1.8
    return union(lambda x, y: ring(x, y) and not gap(x, y), bar(cx - 0.6, cy - 4.2, cx + 0.6, cy))


def plus(cx, cy):
    return union(bar(cx - 3, cy - 0.6, cx + 3, cy + 0.6), bar(cx - 0.6, cy - 3, cx + 0.6, cy + 3))


def minus(cx, cy):
    return bar(cx - 3, cy - 0.6, cx + 3, cy + 0.6)


# The keys: number -> (shape, colour, ink, decoration). A decoration is text, or a symbol
# function of the key's centre, or a pair (digit, symbol) drawn side by side.
SILVER = (196, 200, 208)
GREY = (96, 101, 114)
DARK_INK = (28, 30, 36)
LIGHT_INK = (240, 242, 246)

ARROWS = {"up": lambda cx, cy: triangle_up(cx, cy, 5, 3), "down": lambda cx, cy: triangle_down(cx, cy, 5, 3),
          "left": lambda cx, cy: triangle_left(cx, cy, 3, 5), "right": lambda cx, cy: triangle_right(cx, cy, 3, 5),
          "enter": enter_arrow}

KEYS = {
    0: ("round", (200, 36, 36), LIGHT_INK, power_symbol),
    1: ("rounded", SILVER, DARK_INK, "VCR"),
    2: ("rounded", SILVER, DARK_INK, "DVD"),
    3: ("rounded", SILVER, DARK_INK, "TEXT"),
    4: ("rounded", (206, 44, 44), LIGHT_INK, None),
    5: ("rounded", (46, 170, 70), LIGHT_INK, None),
    6: ("rounded", (230, 200, 40), DARK_INK, None),
    7: ("rounded", (40, 100, 210), LIGHT_INK, None),
    8: ("rounded", SILVER, DARK_INK, skip_back),
    9: ("rounded", SILVER, DARK_INK, play_pause),
    10: ("rounded", SILVER, DARK_INK, skip_forward),
    11: ("rounded", SILVER, (210, 30, 30), lambda cx, cy: ellipse(cx - 3, cy - 3, cx + 3, cy + 3)),
    12: ("rounded", SILVER, DARK_INK, lambda cx, cy: bar(cx - 2.5, cy - 2.5, cx + 2.5, cy + 2.5)),
    13: ("rounded", SILVER, DARK_INK, eject),
    14: ("rocker_top", GREY, LIGHT_INK, plus),
    15: ("rocker_bottom", GREY, LIGHT_INK, minus),
    16: ("round", GREY, LIGHT_INK, mute),
    17: ("rocker_top", GREY, LIGHT_INK, lambda cx, cy: triangle_up(cx, cy, 7, 4)),
    18: ("rocker_bottom", GREY, LIGHT_INK, lambda cx, cy: triangle_down(cx, cy, 7, 4)),
    19: ("rounded", GREY, LIGHT_INK, window),
    20: ("rounded", GREY, LIGHT_INK, None),
    21: ("rounded", GREY, LIGHT_INK, None),
    22: ("rounded", GREY, LIGHT_INK, "1"),
    23: ("rounded", GREY, LIGHT_INK, ("2", "up")),
    24: ("rounded", GREY, LIGHT_INK, "3"),
    25: ("rounded", GREY, LIGHT_INK, ("4", "left")),
    26: ("rounded", GREY, LIGHT_INK, ("5", "enter")),
    27: ("rounded", GREY, LIGHT_INK, ("6", "right")),
    28: ("rounded", GREY, LIGHT_INK, "7"),
    29: ("rounded", GREY, LIGHT_INK, ("8", "down")),
    30: ("rounded", GREY, LIGHT_INK, "9"),
    31: ("rounded", GREY, LIGHT_INK, "GO UP"),
    32: ("rounded", GREY, LIGHT_INK, "0"),
    33: ("rounded", GREY, LIGHT_INK, "GO TO"),
    34: ("rounded", GREY, LIGHT_INK, lambda cx, cy: lambda x, y: 4 <= (x - cx) ** 2 + (y - cy) ** 2 <= 9),
}

# Print on the body beside the keys: text and the box it is fitted into (picture coordinates).
BODY_PRINT = [
    ("POWER", (17, 17, 41, 23), "center"),
    ("MENU", (12, 37, 38, 42), "right"), ("SUBTITLES", (40, 37, 62, 42), "center"),
    ("ANGLE", (64, 37, 85, 42), "left"), ("SNAPSHOT", (87, 37, 115, 42), "center"),
    ("INSTANT", (10, 55, 40, 60), "center"), ("REPLAY", (10, 61, 40, 66), "center"),
    ("PLAYBACK", (41, 55, 63, 60), "center"), ("EPG", (63, 55, 80, 60), "center"),
    ("SNAPSHOT", (81, 55, 114, 60), "center"),
    ("REPEAT", (26, 169, 50, 174), "center"), ("SOURCE", (94, 185, 116, 190), "center"),
    ("VOL", (10, 201, 26, 206), "center"), ("CH", (95, 201, 111, 206), "center"),
    ("BOOKMARK", (47, 219, 75, 224), "center"), ("NUM PAD", (72, 238, 100, 243), "center"),
    ("TELLWAND", (36, 326, 86, 331), "center"),
]


def picture_rect(number):
    left, top, right, bottom = KEY_RECTS[number]
    return (left - ORIGIN[0], top - ORIGIN[1], right - ORIGIN[0], bottom - ORIGIN[1])


def key_shape(kind, left, top, right, bottom, inset):
    left, top, right, bottom = left + inset, top + inset, right - inset, bottom - inset
    if kind == "round":
        return ellipse(left, top, right, bottom)
    if kind in ("rocker_top", "rocker_bottom"):
        radius = (right - left) / 2
        rounded = rounded_rect(left, top, right, bottom, radius)
        if kind == "rocker_top":
            return lambda x, y: rounded(x, y) or (left <= x <= right and top + radius <= y <= bottom)
        return lambda x, y: rounded(x, y) or (left <= x <= right and top <= y <= bottom - radius)
    return rounded_rect(left, top, right, bottom, max(2.5 - inset, 1.0))


def draw_decoration(canvas, decoration, box, ink):
    left, top, right, bottom = box
    cx, cy = (left + right) / 2, (top + bottom) / 2
    if decoration is None:
        return
    if isinstance(decoration, str):
        draw_text(canvas, decoration, (left + 1, top, right - 1, bottom), ink)
    elif isinstance(decoration, tuple):
        digit, arrow = decoration
        draw_text(canvas, digit, (left + 3, top, int(cx), bottom), ink)
        canvas.fill(ARROWS[arrow](cx + 3.5, cy), box, ink)
    else:
        canvas.fill(decoration(cx, cy), box, ink)


def draw_key(canvas, number, lit):
    kind, colour, ink, decoration = KEYS[number]
    box = picture_rect(number)
    left, top, right, bottom = box
    outline = LIT_OUTLINE if lit else KEY_OUTLINE
    if lit:
        fill = vertical_gradient(LIT_FILL_TOP, LIT_FILL, top, bottom)
        ink = LIT_INK
    else:
        fill = vertical_gradient(shade(colour, 1.18), shade(colour, 0.82), top, bottom)
    canvas.fill(key_shape(kind, left, top, right, bottom, 0), box, outline)
    canvas.fill(key_shape(kind, left, top, right, bottom, 1), box, fill)
    draw_decoration(canvas, decoration, box, ink)


def draw_body(canvas):
    canvas.fill(rounded_rect(4, 1, 117, 351, 16), (0, 0, WIDTH, HEIGHT), BODY_EDGE)
    canvas.fill(rounded_rect(5, 2, 116, 350, 15), (0, 0, WIDTH, HEIGHT),
                vertical_gradient(shade(BODY, 1.25), shade(BODY, 0.8), 0, HEIGHT))
    # A glint along the left edge gives the case its roundness.
    canvas.fill(rounded_rect(7.5, 24, 8.5, 326, 0.5), (6, 23, 10, 327), BODY_SHINE)
    # The infrared window at the top.
    canvas.fill(ellipse(44, 4, 77, 13), (43, 3, 78, 14), (70, 10, 16))
    canvas.fill(ellipse(52, 5, 69, 8), (51, 4, 70, 9), (140, 50, 60))


def draw_pad(canvas):
    cx, cy = PAD_CENTRE
    r = PAD_RADIUS
    box = (cx - r - 2, cy - r - 2, cx + r + 2, cy + r + 2)
    canvas.fill(ellipse(cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1), box, BODY_EDGE)
    canvas.fill(ellipse(cx - r, cy - r, cx + r, cy + r), box,
                vertical_gradient((120, 126, 140), (58, 62, 72), cy - r, cy + r))
    inner = r - 9
    canvas.fill(ellipse(cx - inner, cy - inner, cx + inner, cy + inner), box,
                vertical_gradient((70, 74, 86), (108, 114, 128), cy - inner, cy + inner))
    arrow_colour = (222, 226, 234)
    canvas.fill(triangle_up(cx, cy - r + 4.5, 7, 4), box, arrow_colour)
    canvas.fill(triangle_down(cx, cy + r - 4.5, 7, 4), box, arrow_colour)
    canvas.fill(triangle_left(cx - r + 4.5, cy, 4, 7), box, arrow_colour)
    canvas.fill(triangle_right(cx + r - 4.5, cy, 4, 7), box, arrow_colour)
    canvas.fill(ellipse(cx - 3, cy - 3, cx + 3, cy + 3), box, (150, 156, 170))


def draw_mouse_keys(canvas):
    for (left, top, right, bottom), letter in ((LEFT_MOUSE_KEY, "L"), (RIGHT_MOUSE_KEY, "R")):
        box = (left, top, right, bottom)
        canvas.fill(rounded_rect(left, top, right, bottom, 6), box, KEY_OUTLINE)
        canvas.fill(rounded_rect(left + 1, top + 1, right - 1, bottom - 1, 5), box,
                    vertical_gradient(shade(GREY, 1.18), shade(GREY, 0.82), top, bottom))
        draw_text(canvas, letter, box, LIGHT_INK)


def draw_rocker_frames(canvas):
    for number in (14, 17):
        left, top, right, _ = picture_rect(number)
        bottom = picture_rect(number + 1)[3]
        left = min(left, picture_rect(number + 1)[0])
        radius = (right - left) / 2 + 1.5
        canvas.fill(rounded_rect(left - 1.5, top - 1.5, right + 1.5, bottom + 1.5, radius),
                    (left - 3, top - 3, right + 3, bottom + 3), (26, 28, 33))


def draw_remote(lit):
    canvas = Canvas(WIDTH, HEIGHT, BACKGROUND)
    draw_body(canvas)
    for text, box, align in BODY_PRINT:
        draw_text(canvas, text, box, PRINT, align)
    draw_pad(canvas)
    draw_mouse_keys(canvas)
    draw_rocker_frames(canvas)
    for number in range(len(KEY_RECTS)):
        draw_key(canvas, number, lit)
    return canvas


def bmp_bytes(pixels):
    """A 24-bit BMP: BITMAPFILEHEADER, BITMAPINFOHEADER, rows bottom-up padded to 4 bytes."""
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) // 4 * 4
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((int(round(b)), int(round(g)), int(round(r))))
        line += bytes(stride - len(line))
        data += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + bytes(data)


def layout_header():
    def rect(name, r):
        return f"constexpr RemoteRect {name} = {{{r[0]}, {r[1]}, {r[2]}, {r[3]}}};\n"
    return (
        "#pragma once\n"
        "// Generated by tools/make_artwork.py: the pointing pad of the remote picture.\n\n"
        "struct RemoteRect {\n    int left;\n    int top;\n    int right;\n    int bottom;\n};\n\n"
        f"constexpr int kRemotePictureWidth = {WIDTH};\n"
        f"constexpr int kRemotePictureHeight = {HEIGHT};\n"
        f"constexpr int kRemotePictureLeft = {ORIGIN[0]};\n"
        f"constexpr int kRemotePictureTop = {ORIGIN[1]};\n"
        f"constexpr double kPadCentreX = {PAD_CENTRE[0]};\n"
        f"constexpr double kPadCentreY = {PAD_CENTRE[1]};\n"
        f"constexpr double kPadRadius = {PAD_RADIUS};\n"
        + rect("kLeftMouseKey", LEFT_MOUSE_KEY) + rect("kRightMouseKey", RIGHT_MOUSE_KEY)
    )


def read_bitmap_ids(resource_ids_h):
    """The IDB_ ids of WandEdit's resource header, which alone spells them."""
    ids = dict(re.findall(r"^#define (IDB_\w+) (\d+)", resource_ids_h.read_text(), re.MULTILINE))
    return {name: int(value) for name, value in ids.items()}


def main():
    out = Path(sys.argv[1])
    KEY_RECTS.extend(read_key_rects(Path(sys.argv[2])))
    ids = read_bitmap_ids(Path(sys.argv[3]))
    out.mkdir(parents=True, exist_ok=True)
    plain, lit = draw_remote(False), draw_remote(True)
    picture = f"bitmap{ids['IDB_REMOTE']}.bmp"
    (out / picture).write_bytes(bmp_bytes(plain.pixels))
    lines = ["// Generated by tools/make_artwork.py.", f'{ids["IDB_REMOTE"]} BITMAP "{picture}"']
    for number in range(len(KEY_RECTS)):
        rect = picture_rect(number)
        for base, canvas in ((ids["IDB_KEY_NORMAL"], plain), (ids["IDB_KEY_LIT"], lit)):
            name = f"bitmap{base + number}.bmp"
            (out / name).write_bytes(bmp_bytes(canvas.cut(rect)))
            lines.append(f'{base + number} BITMAP "{name}"')
    (out / "artwork.rc").write_text("\n".join(lines) + "\n")
    (out / "remote_layout.h").write_text(layout_header())


if __name__ == "__main__":
    main()
