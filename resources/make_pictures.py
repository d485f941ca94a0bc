#!/usr/bin/env python3
"""Draws Pixelmoth's sixteen named pictures into resources/pictures/, and its
application icon into resources/icons/.

Run it after changing any drawing below:  python3 resources/make_pictures.py
It needs only Python 3's standard library and writes the same files on every
run. Each icon is written at its normal size and at twice that size
(name@2x.png) for high-resolution screens. The splash is drawn in whole
square units, so doubled it would be the same picture: it is written once and
the toolkit enlarges it without blurring.

The icons are drawn on a 30 x 30 grid (the tool buttons' size), light shapes
on a transparent ground with a thin dark halo, so that they read on dark and
light buttons alike. The splash is a 600 x 400 picture. The application icon
is the splash's moth on a dark tile, at the sizes of the desktop's icon theme
(<size>x<size>.png).
"""

import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "pictures")
ICON_OUT = os.path.join(HERE, "icons")

# --- PNG -------------------------------------------------------------------


def write_png(path, width, height, rgba):
    """rgba: bytes of width*height*4, rows top to bottom."""
    raw = bytearray()
    stride = width * 4
    for y in range(height):
        raw.append(0)  # no filter
        raw += rgba[y * stride:(y + 1) * stride]

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


# --- A small deterministic generator -----------------------------------------


class Xorshift:
    def __init__(self, seed):
        self.state = (seed * 2654435761 + 0x9E3779B9) & 0xFFFFFFFF or 1

    def next(self):
        s = self.state
        s ^= (s << 13) & 0xFFFFFFFF
        s ^= s >> 17
        s ^= (s << 5) & 0xFFFFFFFF
        self.state = s
        return s

    def uniform(self):
        return self.next() / 4294967296.0

    def range(self, lo, hi):
        """lo..hi, both included."""
        return lo + self.next() % (hi - lo + 1)


# --- Colours ------------------------------------------------------------------

LIGHT = (238, 238, 238)
RED = (255, 70, 100)
CYAN = (60, 226, 238)
MAGENTA = (236, 84, 224)
YELLOW = (255, 216, 72)
GREEN = (110, 236, 130)
ORANGE = (255, 148, 52)

# --- Icons: shapes on a 30-unit grid, antialiased by supersampling ------------------

GRID = 30
SUBSAMPLES = 4


class Rect:
    def __init__(self, x0, y0, x1, y1):
        self.box = (x0, y0, x1, y1)

    def inside(self, x, y):
        x0, y0, x1, y1 = self.box
        return x0 <= x < x1 and y0 <= y < y1


class Disc:
    def __init__(self, cx, cy, r):
        self.c, self.r = (cx, cy), r
        self.box = (cx - r, cy - r, cx + r, cy + r)

    def inside(self, x, y):
        return (x - self.c[0]) ** 2 + (y - self.c[1]) ** 2 <= self.r ** 2


class Ring:
    def __init__(self, cx, cy, r, width):
        self.c, self.r0, self.r1 = (cx, cy), r - width / 2, r + width / 2
        self.box = (cx - self.r1, cy - self.r1, cx + self.r1, cy + self.r1)

    def inside(self, x, y):
        d = (x - self.c[0]) ** 2 + (y - self.c[1]) ** 2
        return self.r0 ** 2 <= d <= self.r1 ** 2


def _segment_distance2(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    qx, qy = ax + t * dx - px, ay + t * dy - py
    return qx * qx + qy * qy


class Stroke:
    """A polyline of the given width with round ends and joints."""

    def __init__(self, points, width, closed=False):
        pts = list(points)
        if closed:
            pts.append(pts[0])
        self.segments = list(zip(pts, pts[1:])) or [(pts[0], pts[0])]
        self.r2 = (width / 2) ** 2
        h = width / 2
        self.box = (min(p[0] for p in pts) - h, min(p[1] for p in pts) - h,
                    max(p[0] for p in pts) + h, max(p[1] for p in pts) + h)

    def inside(self, x, y):
        return any(_segment_distance2(x, y, a[0], a[1], b[0], b[1]) <= self.r2 for a, b in self.segments)


class Polygon:
    """Filled, even-odd."""

    def __init__(self, points):
        self.points = list(points)
        xs = [p[0] for p in self.points]
        ys = [p[1] for p in self.points]
        self.box = (min(xs), min(ys), max(xs), max(ys))

    def inside(self, x, y):
        result = False
        pts = self.points
        j = len(pts) - 1
        for i in range(len(pts)):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result


def moved(points, dx, dy):
    return [(x + dx, y + dy) for x, y in points]


def wave(x0, x1, y, amplitude, period, phase=0.0, steps=48):
    return [(x0 + (x1 - x0) * i / steps,
             y + amplitude * math.sin(2 * math.pi * ((x1 - x0) * i / steps / period) + phase))
            for i in range(steps + 1)]


class Layer:
    """Premultiplied RGBA floats, one pixel per grid unit / scale. The drawings
    are made on the 30-unit grid and enlarged by ZOOM about its centre, so
    that they still fill the button when it fits them inside its frame."""

    ZOOM = 1.1

    def __init__(self, size, scale):
        self.size, self.scale = size, scale
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]

    def draw(self, shape, colour, alpha=1.0, clear=False):
        zoom, centre, scale = self.ZOOM, GRID / 2, self.scale

        def to_grid(p):  # a pixel position to the drawing's grid
            return (p / scale - centre) / zoom + centre

        x0, y0, x1, y1 = (((v - centre) * zoom + centre) * scale for v in shape.box)
        px0, py0 = max(0, int(math.floor(x0)) - 1), max(0, int(math.floor(y0)) - 1)
        px1, py1 = min(self.size, int(math.ceil(x1)) + 1), min(self.size, int(math.ceil(y1)) + 1)
        n = SUBSAMPLES
        for py in range(py0, py1):
            for px in range(px0, px1):
                hits = 0
                for j in range(n):
                    for i in range(n):
                        if shape.inside(to_grid(px + (i + 0.5) / n), to_grid(py + (j + 0.5) / n)):
                            hits += 1
                if not hits:
                    continue
                a = alpha * hits / (n * n)
                p = self.px[py * self.size + px]
                if clear:
                    for ch in range(4):
                        p[ch] *= 1 - a
                else:
                    for ch in range(3):
                        p[ch] = colour[ch] / 255.0 * a + p[ch] * (1 - a)
                    p[3] = a + p[3] * (1 - a)

    def with_halo(self, radius, strength=0.6):
        """The layer over a dark halo: its alpha widened by radius pixels."""
        size = self.size
        alpha = [p[3] for p in self.px]
        reach = int(math.ceil(radius))
        offsets = [(dx, dy) for dy in range(-reach, reach + 1) for dx in range(-reach, reach + 1)
                   if dx * dx + dy * dy <= radius * radius + 0.25]
        out = Layer(size, self.scale)
        for y in range(size):
            for x in range(size):
                h = 0.0
                for dx, dy in offsets:
                    xx, yy = x + dx, y + dy
                    if 0 <= xx < size and 0 <= yy < size:
                        h = max(h, alpha[yy * size + xx])
                h *= strength
                p = self.px[y * size + x]
                a = p[3]
                out.px[y * size + x] = [p[0], p[1], p[2], a + h * (1 - a)]
        return out

    def rgba(self):
        data = bytearray()
        for r, g, b, a in self.px:
            if a <= 0:
                data += b"\0\0\0\0"
                continue
            data += bytes(max(0, min(255, int(round(c / a * 255)))) for c in (r, g, b))
            data.append(max(0, min(255, int(round(a * 255)))))
        return bytes(data)


# Each icon draws itself on a layer in grid units.

def icon_open(d):
    back = [(5, 8), (12, 8), (14, 10.5), (24, 10.5), (24, 23), (5, 23)]
    d.draw(Stroke(back, 2, closed=True), LIGHT)
    d.draw(Polygon([(8.5, 14), (26, 14), (23, 23), (5, 23)]), LIGHT, 0.9)


def icon_save(d):
    body = [(5, 5), (21, 5), (25, 9), (25, 25), (5, 25)]
    d.draw(Polygon(body), LIGHT)
    d.draw(Rect(10, 5, 19, 11), LIGHT, clear=True)        # shutter opening
    d.draw(Rect(15, 6.5, 17.5, 9.5), LIGHT)                # the shutter's window
    d.draw(Rect(8.5, 15, 21.5, 22.5), LIGHT, clear=True)   # label
    d.draw(Rect(10.5, 17, 19.5, 18.2), LIGHT, 0.7)
    d.draw(Rect(10.5, 19.5, 17, 20.7), LIGHT, 0.7)


def icon_about(d):
    d.draw(Ring(15, 15, 9.5, 2), LIGHT)
    d.draw(Disc(15, 10, 1.6), LIGHT)
    d.draw(Rect(14, 13, 16.2, 21), LIGHT)


def icon_ycoord(d):
    # A picture cut into columns, each slid up or down: the horizon zigzags.
    for i, offset in enumerate((-3, 2, -1, 3, -2)):
        x = 5 + 4 * i
        d.draw(Rect(x, 7 + offset, x + 3, 15 + offset), LIGHT)
        d.draw(Rect(x, 15 + offset, x + 3, 23 + offset), CYAN)


def icon_hertz(d):
    # A wave smeared along the diagonal.
    for step, alpha in ((3, 0.2), (2, 0.4), (1, 0.65)):
        d.draw(Stroke(moved(wave(4.5, 21.5, 12.5, 5, 10), 1.5 * step, 1.5 * step), 2), MAGENTA, alpha)
    d.draw(Stroke(wave(4.5, 21.5, 12.5, 5, 10), 2.4), LIGHT)


def icon_blockr(d):
    # Mosaic tiles of a few flat colours.
    tiles = ((LIGHT, 1.0), (LIGHT, 0.45), (CYAN, 1.0),
             (LIGHT, 0.7), (MAGENTA, 1.0), (LIGHT, 0.35),
             (LIGHT, 0.3), (LIGHT, 0.85), (LIGHT, 0.55))
    for i, (colour, alpha) in enumerate(tiles):
        x, y = 5 + 7 * (i % 3), 5 + 7 * (i // 3)
        d.draw(Rect(x, y, x + 6, y + 6), colour, alpha)


def ghost_outline(dx, dy):
    top = [(12.5 + 7 * math.cos(math.pi * k / 16), 12 - 7 * math.sin(math.pi * k / 16)) for k in range(17)]
    top.reverse()  # from the left side over the dome to the right side
    hem = [(19.5, 23), (17.2, 20.5), (14.8, 23), (12.5, 20.5), (10.2, 23), (7.8, 20.5), (5.5, 23)]
    return moved(top + hem, dx, dy)


def icon_ghost(d):
    # The figure and its double, offset.
    d.draw(Polygon(ghost_outline(5, 2)), CYAN, 0.6)
    d.draw(Polygon(ghost_outline(0, 0)), LIGHT)
    for x in (10, 15):
        d.draw(Disc(x, 12, 1.5), LIGHT, clear=True)


def icon_diacritix(d):
    # Colour blocks slid apart, under an accent.
    d.draw(Stroke([(15, 8.5), (18.5, 5)], 2.2), LIGHT)
    d.draw(Rect(5, 10, 17, 15), RED, 0.95)
    d.draw(Rect(9, 14, 21, 19), GREEN, 0.9)
    d.draw(Rect(13, 18, 25, 23), CYAN, 0.9)


def icon_taraxacum(d):
    # A dandelion clock shedding seeds sideways.
    d.draw(Stroke([(13, 26), (13.5, 21), (13, 16)], 1.6), GREEN)
    cx, cy = 13, 11.5
    for k in range(10):
        angle = 2 * math.pi * k / 10 + 0.3
        ex, ey = cx + 6 * math.cos(angle), cy + 6 * math.sin(angle)
        d.draw(Stroke([(cx, cy), (ex, ey)], 1.1), LIGHT, 0.85)
        d.draw(Disc(ex, ey, 1.2), LIGHT)
    d.draw(Disc(cx, cy, 1.8), LIGHT)
    for sx, sy in ((22.5, 8.5), (25, 13.5)):
        d.draw(Stroke([(sx - 2.5, sy), (sx, sy)], 1), LIGHT, 0.7)
        d.draw(Disc(sx, sy, 1.1), LIGHT)


def icon_coaxial(d):
    # Interlaced scan lines: straight and wavy in turn.
    for i in range(6):
        y = 7 + 3.2 * i
        if i % 2 == 0:
            d.draw(Stroke([(5, y), (25, y)], 1.5), LIGHT)
        else:
            d.draw(Stroke(wave(5, 25, y, 1.3, 6, phase=i), 1.5), CYAN)


def icon_corrupted(d):
    # Coloured bands, each slid sideways by its own amount.
    bands = ((LIGHT, 0), (MAGENTA, 4), (CYAN, -3), (YELLOW, 3), (GREEN, -1))
    for i, (colour, shift) in enumerate(bands):
        y = 5 + 4 * i
        d.draw(Rect(8 + shift, y, 22 + shift, y + 3), colour)


def icon_broken(d):
    # A picture cracked across; the rows below the crack have slipped right.
    crack = [(4, 13), (9, 16), (13, 11.5), (18, 16.5), (23, 13)]
    d.draw(Polygon([(4, 5), (23, 5)] + crack[::-1]), LIGHT)
    d.draw(Polygon(moved(crack + [(23, 24), (4, 24)], 3, 1.5)), LIGHT, 0.6)
    d.draw(Disc(17, 9, 2), LIGHT, clear=True)


def icon_badcopy(d):
    # A page and its copy, smeared to the right.
    d.draw(Stroke([(5, 5), (15, 5), (15, 20), (5, 20)], 1.6, closed=True), LIGHT, 0.8)
    d.draw(Rect(11, 10, 21, 25), LIGHT)
    for y, length, alpha in ((12, 4, 0.55), (16.5, 3, 0.4), (21, 5, 0.3)):
        d.draw(Rect(21, y, 21 + length, y + 2), LIGHT, alpha)
    for y in (13.5, 16.5, 19.5):
        d.draw(Rect(13, y, 19, y + 1.2), LIGHT, clear=True)


def icon_amplifier(d):
    # A grid of plus signs.
    for i in range(9):
        cx, cy = 8 + 7 * (i % 3), 8 + 7 * (i // 3)
        colour = YELLOW if i == 4 else LIGHT
        d.draw(Stroke([(cx - 2, cy), (cx + 2, cy)], 1.5), colour)
        d.draw(Stroke([(cx, cy - 2), (cx, cy + 2)], 1.5), colour)


def icon_overdrive(d):
    # A glow posterised into a few hard bands.
    for radius, colour in ((10.5, RED), (7.5, ORANGE), (4.5, YELLOW), (1.8, LIGHT)):
        d.draw(Disc(15, 15, radius), colour)


ICONS = (
    ("iconopen", icon_open),
    ("iconsave", icon_save),
    ("iconycoord", icon_ycoord),
    ("iconhertz", icon_hertz),
    ("iconblockr", icon_blockr),
    ("iconghost", icon_ghost),
    ("icondiacritix", icon_diacritix),
    ("icontaraxacum1", icon_taraxacum),
    ("iconcoaxial", icon_coaxial),
    ("iconcorrupted", icon_corrupted),
    ("iconabout1", icon_about),
    ("iconbroken", icon_broken),
    ("iconbadcopy", icon_badcopy),
    ("iconamplifier", icon_amplifier),
    ("iconoverdrive", icon_overdrive),
)


def render_icon(draw, scale):
    layer = Layer(GRID * scale, scale)
    draw(layer)
    return layer.with_halo(radius=scale).rgba()


# --- Splash: a pixel font, RGB split, slipped slices and scan lines -----------------

SPLASH_W, SPLASH_H = 600, 400

FONT = {  # 5 x 7
    "A": ("01110", "10001", "10001", "11111", "10001", "10001", "10001"),
    "C": ("01111", "10000", "10000", "10000", "10000", "10000", "01111"),
    "D": ("11110", "10001", "10001", "10001", "10001", "10001", "11110"),
    "E": ("11111", "10000", "10000", "11110", "10000", "10000", "11111"),
    "G": ("01111", "10000", "10000", "10011", "10001", "10001", "01111"),
    "H": ("10001", "10001", "10001", "11111", "10001", "10001", "10001"),
    "I": ("11111", "00100", "00100", "00100", "00100", "00100", "11111"),
    "L": ("10000", "10000", "10000", "10000", "10000", "10000", "11111"),
    "M": ("10001", "11011", "10101", "10101", "10001", "10001", "10001"),
    "O": ("01110", "10001", "10001", "10001", "10001", "10001", "01110"),
    "P": ("11110", "10001", "10001", "11110", "10000", "10000", "10000"),
    "R": ("11110", "10001", "10001", "11110", "10100", "10010", "10001"),
    "T": ("11111", "00100", "00100", "00100", "00100", "00100", "00100"),
    "X": ("10001", "10001", "01010", "00100", "01010", "10001", "10001"),
    "0": ("01110", "10001", "10011", "10101", "11001", "10001", "01110"),
    "9": ("01110", "10001", "10001", "01111", "00001", "00010", "01100"),
    ".": ("00000", "00000", "00000", "00000", "00000", "01100", "01100"),
    " ": ("00000",) * 7,
}

MOTH = (  # the left half and the body column; the right half mirrors it
    "........1...",
    ".........1..",
    "..........1.",
    "111.......11",
    "11111....111",
    "1100111.1111",
    ".1001111.111",
    "..1111111111",
    "....11111111",
    "...111111.11",
    "..1100111..1",
    "..111111...1",
    "...1111....1",
    "...........1",
)


def text_cells(text):
    """The font pixels (x, y) lit by text."""
    cells = []
    for i, ch in enumerate(text):
        for y, row in enumerate(FONT[ch]):
            cells += [(6 * i + x, y) for x, bit in enumerate(row) if bit == "1"]
    return cells


def text_width(text):
    return 6 * len(text) - 1


def moth_cells():
    cells = []
    for y, row in enumerate(MOTH):
        full = row + row[-2::-1]
        cells += [(x, y) for x, bit in enumerate(full) if bit == "1"]
    return cells


MOTH_WIDTH = 2 * len(MOTH[0]) - 1

# The split copies of the lettering and the moth: (channel, raised to).
RED_COPY = ((0, 255), (1, 40), (2, 70))
CYAN_COPY = ((1, 220), (2, 240))


def ground(t):
    """The splash's dark ground, top to bottom (t from 0 to 1)."""
    return [32 + 20 * t, 33 + 20 * t, 36 + 20 * t]


def render_splash():
    w, h = SPLASH_W, SPLASH_H
    rng = Xorshift(0x50D)

    # Ground: a dark vertical gradient with a faint grain.
    grain = [[rng.range(-5, 5) for _ in range(w)] for _ in range(h)]
    px = []
    for y in range(h):
        base = ground(y / (h - 1))
        px += [[base[0] + g, base[1] + g, base[2] + g] for g in grain[y]]

    def paint(x0, y0, x1, y1, colour, alpha=1.0):
        """A rectangle, clipped to the picture."""
        for y in range(max(0, y0), min(h, y1)):
            for x in range(max(0, x0), min(w, x1)):
                p = px[y * w + x]
                for k in range(3):
                    p[k] += (colour[k] - p[k]) * alpha

    def lift(x0, y0, x1, y1, channels):
        """Raises the given channels of a rectangle to full."""
        for y in range(max(0, y0), min(h, y1)):
            for x in range(max(0, x0), min(w, x1)):
                p = px[y * w + x]
                for k, v in channels:
                    p[k] = max(p[k], v)

    def split_cells(cells, left, top, cell, split):
        """Lit cells with a red copy slid left and a cyan copy slid right."""
        for cx, cy in cells:
            x, y = left + cx * cell, top + cy * cell
            lift(x - split, y, x - split + cell, y + cell, RED_COPY)
            lift(x + split, y, x + split + cell, y + cell, CYAN_COPY)
        for cx, cy in cells:
            x, y = left + cx * cell, top + cy * cell
            paint(x, y, x + cell, y + cell, LIGHT)

    # Stray blocks of colour.
    for _ in range(12):
        bw, bh = rng.range(20, 150), rng.range(2, 10)
        bx, by = rng.range(0, SPLASH_W - bw), rng.range(20, SPLASH_H - 20)
        colour = (CYAN, MAGENTA, RED, LIGHT)[rng.range(0, 3)]
        paint(bx, by, bx + bw, by + bh, colour, 0.1 + 0.08 * rng.uniform())

    name, name_cell, name_top = "PIXELMOTH", 10, 170
    name_left = (SPLASH_W - text_width(name) * name_cell) // 2
    moth_cell = 6
    split_cells(moth_cells(), (SPLASH_W - MOTH_WIDTH * moth_cell) // 2, 62, moth_cell, 2)
    split_cells(text_cells(name), name_left, name_top, name_cell, 4)
    sub, sub_cell = "GLITCH ART EDITOR", 3
    split_cells(text_cells(sub), (SPLASH_W - text_width(sub) * sub_cell) // 2, 272, sub_cell, 1)
    version = "0.9"
    split_cells(text_cells(version), SPLASH_W - 22 - text_width(version) * 2, SPLASH_H - 30, 2, 1)

    # Thin slices of rows slipped sideways: (top, height, shift).
    slices = ((name_top + 6, 4, 7), (name_top + 27, 3, -9), (name_top + 53, 5, 5), (88, 3, -6), (120, 2, 8))
    for top, height, shift in slices:
        for y in range(top, top + height):
            row = px[y * w:(y + 1) * w]
            px[y * w:(y + 1) * w] = [list(row[(x - shift) % w]) for x in range(w)]
    # One slice inverted.
    for y in range(name_top + 44, name_top + 46):
        for x in range(name_left + 150, name_left + 340):
            p = px[y * w + x]
            px[y * w + x] = [255 - p[0], 255 - p[1], 255 - p[2]]

    # Dead pixels: a sprinkle of bright ones.
    for _ in range(60):
        cx, cy = rng.range(0, SPLASH_W - 1), rng.range(0, SPLASH_H - 1)
        paint(cx, cy, cx + 1, cy + 1, (CYAN, MAGENTA, LIGHT, GREEN)[rng.range(0, 3)], 0.8)

    # Scan lines: every other row darker.
    data = bytearray()
    for y in range(h):
        dark = 0.74 if y % 2 else 1.0
        for p in px[y * w:(y + 1) * w]:
            data += bytes(max(0, min(255, int(c * dark))) for c in p)
            data.append(255)
    return w, h, bytes(data)


# --- Application icon: the splash's moth on a dark rounded tile ------------------

ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)


def render_app_icon(size):
    """RGBA of a size x size icon. Where whole pixels give the moth most of
    the tile its cells are whole pixels, crisp as on the splash; smaller
    icons get fractional cells, antialiased."""
    inset, radius = 0.04 * size, 0.18 * size
    ideal = 0.8 * size / MOTH_WIDTH
    cell = math.floor(ideal) if math.floor(ideal) >= 0.75 * ideal else ideal
    left = (size - MOTH_WIDTH * cell) / 2
    top = (size - len(MOTH) * cell) / 2
    if cell == int(cell):
        left, top = round(left), round(top)
    split = max(cell / 3, 0.6)
    lit = set(moth_cells())
    # Scan lines as on the splash, where they stay finer than a cell.
    scan = max(1, size // 128) if size >= 64 else 0

    def inside_tile(x, y):
        dx = max(inset + radius - x, x - (size - inset - radius), 0)
        dy = max(inset + radius - y, y - (size - inset - radius), 0)
        return dx * dx + dy * dy <= radius * radius

    def on_moth(x, y):
        return (math.floor((x - left) / cell), math.floor((y - top) / cell)) in lit

    n = 4 if size >= 64 else 8
    data = bytearray()
    for py in range(size):
        dark = 0.8 if scan and (py // scan) % 2 else 1.0
        for px in range(size):
            total, covered = [0.0, 0.0, 0.0], 0
            for j in range(n):
                for i in range(n):
                    x, y = px + (i + 0.5) / n, py + (j + 0.5) / n
                    if not inside_tile(x, y):
                        continue
                    colour = ground(y / size)
                    for copy, dx in ((RED_COPY, split), (CYAN_COPY, -split)):
                        if on_moth(x + dx, y):
                            for k, v in copy:
                                colour[k] = max(colour[k], v)
                    if on_moth(x, y):
                        colour = list(LIGHT)
                    covered += 1
                    for k in range(3):
                        total[k] += colour[k]
            if not covered:
                data += b"\0\0\0\0"
                continue
            data += bytes(max(0, min(255, int(round(c / covered * dark)))) for c in total)
            data.append(int(round(255 * covered / (n * n))))
    return bytes(data)


# --- Writing ------------------------------------------------------------------------


def main():
    os.makedirs(OUT, exist_ok=True)
    w, h, data = render_splash()
    write_png(os.path.join(OUT, "splash.png"), w, h, data)
    for scale, suffix in ((1, ""), (2, "@2x")):
        for name, draw in ICONS:
            size = GRID * scale
            write_png(os.path.join(OUT, name + suffix + ".png"), size, size, render_icon(draw, scale))
    print("wrote %d pictures to %s" % (1 + 2 * len(ICONS), OUT), file=sys.stderr)
    os.makedirs(ICON_OUT, exist_ok=True)
    for size in ICON_SIZES:
        write_png(os.path.join(ICON_OUT, "%dx%d.png" % (size, size)), size, size, render_app_icon(size))
    print("wrote %d icons to %s" % (len(ICON_SIZES), ICON_OUT), file=sys.stderr)


if __name__ == "__main__":
    main()
