#!/usr/bin/env python3
"""Makes the demo disc: every picture, cursor, tune and text of demo/disc and the project demo/project.json.

Everything is drawn or composed here, from nothing but this script (Python 3 standard library). JPEG
files go through cjpeg (Debian: libjpeg-turbo-progs) and OGG files through oggenc (vorbis-tools). The
output is the same on every run, so the files are committed and the build only copies them.

    python3 demo/make_demo.py          # rewrite demo/disc, demo/icons and demo/project.json
    python3 demo/make_demo.py --check  # only check that every file the project and skin name exists
"""

import json
import math
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
DISC = os.path.join(HERE, "disc")
ICONS = os.path.join(HERE, "icons")
PROJECT_JSON = os.path.join(HERE, "project.json")

# The main window's client area: 781 wide; its height follows from the toolbar's bottom edge (478), the
# two text buttons (24 high each, 15 below the toolbar, 1 apart) and 10 below them.
WINDOW_W = 781
TEXT_BUTTON_W, TEXT_BUTTON_H = 96, 24
WINDOW_H = 478 + 15 + TEXT_BUTTON_H + 1 + TEXT_BUTTON_H + 10
TOOLBAR_W, TOOLBAR_H = 530, 44
ABOUT_W, ABOUT_H = 510, 385

# Colours (red, green, blue).
NAVY_D = (7, 18, 33)
NAVY = (13, 33, 57)
NAVY_L = (22, 54, 84)
STEEL = (40, 88, 118)
TEAL_D = (22, 104, 114)
TEAL = (36, 160, 162)
TEAL_L = (98, 212, 204)
AQUA = (172, 238, 232)
PALE = (236, 246, 247)
WHITE = (250, 253, 253)
AMBER = (255, 198, 104)
CORAL = (226, 92, 84)
INK = (16, 40, 60)
KEY = (255, 0, 255)  # the transparent colour of the skin bitmaps (their bottom-left pixel)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


# --------------------------------------------------------------------------------------------------
# Raster


class Canvas:
    """Straight (non-premultiplied) RGBA pixels as floats; colours 0..255, alpha 0..1."""

    def __init__(self, w, h, color=(0, 0, 0), alpha=1.0):
        self.w, self.h = w, h
        n = w * h
        self.r = [float(color[0])] * n
        self.g = [float(color[1])] * n
        self.b = [float(color[2])] * n
        self.a = [float(alpha)] * n

    def get(self, x, y):
        i = y * self.w + x
        return (self.r[i], self.g[i], self.b[i])

    def put(self, i, c, cov):
        """Composes colour c with coverage cov over pixel i."""
        if cov <= 0.0:
            return
        da = self.a[i]
        if cov >= 1.0 or da <= 0.0:
            if cov >= 1.0:
                self.r[i], self.g[i], self.b[i], self.a[i] = float(c[0]), float(c[1]), float(c[2]), 1.0
                return
            self.r[i], self.g[i], self.b[i], self.a[i] = float(c[0]), float(c[1]), float(c[2]), cov
            return
        oa = cov + da * (1.0 - cov)
        k = da * (1.0 - cov)
        self.r[i] = (c[0] * cov + self.r[i] * k) / oa
        self.g[i] = (c[1] * cov + self.g[i] * k) / oa
        self.b[i] = (c[2] * cov + self.b[i] * k) / oa
        self.a[i] = oa

    def fill(self, fn, box=None):
        """Sets every pixel (of box) to fn(x, y) -> colour, opaque."""
        x0, y0, x1, y1 = box or (0, 0, self.w, self.h)
        for y in range(max(0, y0), min(self.h, y1)):
            row = y * self.w
            for x in range(max(0, x0), min(self.w, x1)):
                c = fn(x, y)
                i = row + x
                self.r[i], self.g[i], self.b[i], self.a[i] = float(c[0]), float(c[1]), float(c[2]), 1.0

    def shade(self, fn, box=None):
        """fn(x, y) -> (colour, coverage) or None, composed over the pixels of box."""
        x0, y0, x1, y1 = box or (0, 0, self.w, self.h)
        for y in range(max(0, int(y0)), min(self.h, int(math.ceil(y1)))):
            row = y * self.w
            for x in range(max(0, int(x0)), min(self.w, int(math.ceil(x1)))):
                res = fn(x + 0.5, y + 0.5)
                if res is not None:
                    self.put(row + x, res[0], res[1])

    def shape(self, sdf, box, color, opacity=1.0):
        """Fills the area where the signed distance sdf(x, y) < 0, anti-aliased over one pixel.
        color is a colour or a function (x, y) -> colour."""
        x0, y0, x1, y1 = box
        pad = 1.0
        func = callable(color)
        for y in range(max(0, int(y0 - pad)), min(self.h, int(math.ceil(y1 + pad)))):
            row = y * self.w
            py = y + 0.5
            for x in range(max(0, int(x0 - pad)), min(self.w, int(math.ceil(x1 + pad)))):
                px = x + 0.5
                d = sdf(px, py)
                cov = 0.5 - d
                if cov <= 0.0:
                    continue
                if cov > 1.0:
                    cov = 1.0
                self.put(row + x, color(px, py) if func else color, cov * opacity)

    def blit(self, src, ox, oy, opacity=1.0):
        for y in range(src.h):
            ty = y + oy
            if ty < 0 or ty >= self.h:
                continue
            for x in range(src.w):
                tx = x + ox
                if tx < 0 or tx >= self.w:
                    continue
                i = y * src.w + x
                self.put(ty * self.w + tx, (src.r[i], src.g[i], src.b[i]), src.a[i] * opacity)

    def flatten(self, bg):
        """Composes the picture over bg (a colour or a function (x, y) -> colour); opaque afterwards."""
        func = callable(bg)
        for y in range(self.h):
            for x in range(self.w):
                i = y * self.w + x
                a = self.a[i]
                if a >= 1.0:
                    continue
                c = bg(x, y) if func else bg
                self.r[i] = self.r[i] * a + c[0] * (1 - a)
                self.g[i] = self.g[i] * a + c[1] * (1 - a)
                self.b[i] = self.b[i] * a + c[2] * (1 - a)
                self.a[i] = 1.0

    def rgb_bytes(self):
        out = bytearray(self.w * self.h * 3)
        for i in range(self.w * self.h):
            out[3 * i] = _byte(self.r[i])
            out[3 * i + 1] = _byte(self.g[i])
            out[3 * i + 2] = _byte(self.b[i])
        return out

    def copy(self):
        c = Canvas(1, 1)
        c.w, c.h = self.w, self.h
        c.r, c.g, c.b, c.a = list(self.r), list(self.g), list(self.b), list(self.a)
        return c


def _byte(v):
    v = int(v + 0.5)
    return 0 if v < 0 else 255 if v > 255 else v


# Signed distance functions (negative inside).


def sd_circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def sd_rrect(x0, y0, x1, y1, rad):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - rad, (y1 - y0) / 2 - rad

    def f(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        return math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - rad

    return f


def sd_segment(ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy or 1e-9

    def f(x, y):
        t = clamp01(((x - ax) * dx + (y - ay) * dy) / ll)
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - width / 2

    return f


def sd_polygon(pts):
    n = len(pts)

    def f(x, y):
        d = 1e9
        inside = False
        for i in range(n):
            ax, ay = pts[i]
            bx, by = pts[(i + 1) % n]
            dx, dy = bx - ax, by - ay
            ll = dx * dx + dy * dy or 1e-9
            t = clamp01(((x - ax) * dx + (y - ay) * dy) / ll)
            d = min(d, math.hypot(x - ax - t * dx, y - ay - t * dy))
            if (ay > y) != (by > y) and x < ax + (y - ay) * dx / (by - ay):
                inside = not inside
        return -d if inside else d

    return f


def sd_ring(cx, cy, r, width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - width / 2


def sd_minus(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def sd_union(*fs):
    return lambda x, y: min(f(x, y) for f in fs)


def sd_intersect(a, b):
    return lambda x, y: max(a(x, y), b(x, y))


def bbox(pts, pad=0):
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    return (min(xs) - pad, min(ys) - pad, max(xs) + pad, max(ys) + pad)


# --------------------------------------------------------------------------------------------------
# A 5 x 7 pixel font (capitals, digits, a few signs); small letters are drawn as capitals.

FONT = {}
_GLYPHS = """
A .###. #...# #...# ##### #...# #...# #...#
B ####. #...# #...# ####. #...# #...# ####.
C .###. #...# #.... #.... #.... #...# .###.
D ####. #...# #...# #...# #...# #...# ####.
E ##### #.... #.... ####. #.... #.... #####
F ##### #.... #.... ####. #.... #.... #....
G .###. #...# #.... #.### #...# #...# .####
H #...# #...# #...# ##### #...# #...# #...#
I .###. ..#.. ..#.. ..#.. ..#.. ..#.. .###.
J ..### ...#. ...#. ...#. ...#. #..#. .##..
K #...# #..#. #.#.. ##... #.#.. #..#. #...#
L #.... #.... #.... #.... #.... #.... #####
M #...# ##.## #.#.# #.#.# #...# #...# #...#
N #...# #...# ##..# #.#.# #..## #...# #...#
O .###. #...# #...# #...# #...# #...# .###.
P ####. #...# #...# ####. #.... #.... #....
Q .###. #...# #...# #...# #.#.# #..#. .##.#
R ####. #...# #...# ####. #.#.. #..#. #...#
S .#### #.... #.... .###. ....# ....# ####.
T ##### ..#.. ..#.. ..#.. ..#.. ..#.. ..#..
U #...# #...# #...# #...# #...# #...# .###.
V #...# #...# #...# #...# #...# .#.#. ..#..
W #...# #...# #...# #.#.# #.#.# #.#.# .#.#.
X #...# #...# .#.#. ..#.. .#.#. #...# #...#
Y #...# #...# .#.#. ..#.. ..#.. ..#.. ..#..
Z ##### ....# ...#. ..#.. .#... #.... #####
0 .###. #...# #..## #.#.# ##..# #...# .###.
1 ..#.. .##.. ..#.. ..#.. ..#.. ..#.. .###.
2 .###. #...# ....# ...#. ..#.. .#... #####
3 ####. ....# ....# .###. ....# ....# ####.
4 ...#. ..##. .#.#. #..#. ##### ...#. ...#.
5 ##### #.... ####. ....# ....# #...# .###.
6 ..##. .#... #.... ####. #...# #...# .###.
7 ##### ....# ...#. ..#.. .#... .#... .#...
8 .###. #...# #...# .###. #...# #...# .###.
9 .###. #...# #...# .#### ....# ...#. .##..
. ..... ..... ..... ..... ..... ..... ..#..
, ..... ..... ..... ..... ..... ..#.. .#...
- ..... ..... ..... .###. ..... ..... .....
: ..... ..#.. ..... ..... ..... ..#.. .....
! ..#.. ..#.. ..#.. ..#.. ..#.. ..... ..#..
? .###. #...# ....# ...#. ..#.. ..... ..#..
/ ....# ...#. ...#. ..#.. .#... .#... #....
& .##.. #..#. #.#.. .#... #.#.# #..#. .##.#
+ ..... ..#.. ..#.. ##### ..#.. ..#.. .....
( ...#. ..#.. .#... .#... .#... ..#.. ...#.
) .#... ..#.. ...#. ...#. ...#. ..#.. .#...
' ..#.. ..#.. ..... ..... ..... ..... .....
= ..... ..... ##### ..... ##### ..... .....
> .#... ..#.. ...#. ....# ...#. ..#.. .#...
< ...#. ..#.. .#... #.... .#... ..#.. ...#.
_ ..... ..... ..... ..... ..... ..... #####
* ..... #.#.# .###. ##### .###. #.#.# .....
% ##..# ##.#. ...#. ..#.. .#... .#.## #..##
"""
for _line in _GLYPHS.strip().splitlines():
    _parts = _line.split()
    FONT[_parts[0]] = _parts[1:]


def text_width(text, scale, spacing=1):
    n = 0
    for ch in text:
        n += 4 if ch == " " else 5 + spacing
    return (n - spacing) * scale if text else 0


def draw_text(cv, text, x, y, scale, color, opacity=1.0, spacing=1, bold=False):
    """Draws text with its top-left corner at (x, y); each font cell is a scale x scale square whose
    coverage is its exact area in every pixel, so fractional positions stay smooth."""
    cells = []
    cx = x
    for ch in text:
        if ch == " ":
            cx += 4 * scale
            continue
        rows = FONT.get(ch.upper()) or FONT["?"]
        for r, row in enumerate(rows):
            for c, bit in enumerate(row):
                if bit == "#":
                    w = scale * (1.35 if bold else 1.0)
                    cells.append((cx + c * scale, y + r * scale, cx + c * scale + w, y + (r + 1) * scale))
        cx += (5 + spacing) * scale
    cover = {}
    for (x0, y0, x1, y1) in cells:
        for py in range(int(math.floor(y0)), int(math.ceil(y1))):
            oy = min(y1, py + 1) - max(y0, py)
            if oy <= 0:
                continue
            for px in range(int(math.floor(x0)), int(math.ceil(x1))):
                ox = min(x1, px + 1) - max(x0, px)
                if ox > 0:
                    cover[(px, py)] = cover.get((px, py), 0.0) + ox * oy
    for (px, py), cov in sorted(cover.items()):
        if 0 <= px < cv.w and 0 <= py < cv.h:
            cv.put(py * cv.w + px, color, min(1.0, cov) * opacity)
    return cx


def draw_text_centered(cv, text, cx, y, scale, color, opacity=1.0, spacing=1, bold=False):
    draw_text(cv, text, cx - text_width(text, scale, spacing) / 2, y, scale, color, opacity, spacing, bold)


# --------------------------------------------------------------------------------------------------
# File formats


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def bmp24(cv):
    """A bottom-up 24-bit Windows bitmap of the (opaque) picture."""
    stride = (cv.w * 3 + 3) & ~3
    rgb = cv.rgb_bytes()
    pixels = bytearray()
    for y in range(cv.h - 1, -1, -1):
        row = bytearray()
        for x in range(cv.w):
            i = 3 * (y * cv.w + x)
            row += bytes((rgb[i + 2], rgb[i + 1], rgb[i]))
        row += b"\0" * (stride - cv.w * 3)
        pixels += row
    header = struct.pack("<IiiHHIIiiII", 40, cv.w, cv.h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + 40 + len(pixels), 0, 0, 14 + 40) + header + pixels


def _icon_image(cv):
    """The image data of one icon or cursor entry: a 32-bit DIB (height doubled) and its AND mask."""
    w, h = cv.w, cv.h
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            i = y * w + x
            a = _byte(cv.a[i] * 255)
            if a == 0:
                xor += b"\0\0\0\0"
            else:
                xor += bytes((_byte(cv.b[i]), _byte(cv.g[i]), _byte(cv.r[i]), a))
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(w):
            if _byte(cv.a[y * w + x] * 255) == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def ico(images, hotspots=None):
    """An icon file (or, with hot spots, a cursor file) holding the given canvases."""
    kind = 2 if hotspots else 1
    out = struct.pack("<HHH", 0, kind, len(images))
    datas = [_icon_image(cv) for cv in images]
    offset = 6 + 16 * len(images)
    for n, (cv, data) in enumerate(zip(images, datas)):
        if hotspots:
            p1, p2 = hotspots[n]
        else:
            p1, p2 = 1, 32
        out += struct.pack("<BBBBHHII", cv.w & 255, cv.h & 255, 0, 0, p1, p2, len(data), offset)
        offset += len(data)
    return out + b"".join(datas)


def _chunk(cid, data):
    pad = b"\0" if len(data) % 2 else b""
    return cid + struct.pack("<I", len(data)) + data + pad


def ani(frames, hotspot, jiffies, sequence=None, title=None):
    """An animated cursor (RIFF ACON): every frame a cursor file image, shown for jiffies (1/60 s)."""
    steps = len(sequence) if sequence else len(frames)
    rates = jiffies if isinstance(jiffies, list) else [jiffies] * steps
    flags = 1 | (2 if sequence else 0)
    body = b""
    if title:
        body += _chunk(b"LIST", b"INFO" + _chunk(b"INAM", title.encode("ascii") + b"\0")
                       + _chunk(b"IART", b"Made by us\0"))
    body += _chunk(b"anih", struct.pack("<9I", 36, len(frames), steps, 0, 0, 0, 0, rates[0], flags))
    body += _chunk(b"rate", struct.pack("<%dI" % steps, *rates))
    if sequence:
        body += _chunk(b"seq ", struct.pack("<%dI" % steps, *sequence))
    fram = b"fram" + b"".join(_chunk(b"icon", ico([f], [hotspot])) for f in frames)
    body += _chunk(b"LIST", fram)
    return b"RIFF" + struct.pack("<I", 4 + len(body)) + b"ACON" + body


def png(cv, alpha=False):
    """A PNG (8-bit RGB or RGBA); each row gets the filter that leaves the smallest sum."""
    w, h = cv.w, cv.h
    bpp = 4 if alpha else 3
    rows = []
    for y in range(h):
        row = bytearray()
        for x in range(w):
            i = y * w + x
            row += bytes((_byte(cv.r[i]), _byte(cv.g[i]), _byte(cv.b[i])))
            if alpha:
                row.append(_byte(cv.a[i] * 255))
        rows.append(bytes(row))
    raw = bytearray()
    prev = bytes(len(rows[0]))
    for row in rows:
        best = None
        for ftype in range(5):
            out = bytearray(len(row))
            for i, v in enumerate(row):
                a = row[i - bpp] if i >= bpp else 0
                b = prev[i]
                c = prev[i - bpp] if i >= bpp else 0
                if ftype == 0:
                    p = 0
                elif ftype == 1:
                    p = a
                elif ftype == 2:
                    p = b
                elif ftype == 3:
                    p = (a + b) // 2
                else:
                    pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
                    p = a if pa <= pb and pa <= pc else b if pb <= pc else c
                out[i] = (v - p) & 255
            score = sum(v if v < 128 else 256 - v for v in out)
            if best is None or score < best[0]:
                best = (score, ftype, out)
        raw.append(best[1])
        raw += best[2]
        prev = row

    def chunk(cid, data):
        return struct.pack(">I", len(data)) + cid + data + struct.pack(">I", zlib.crc32(cid + data) & 0xFFFFFFFF)

    ihdr = struct.pack(">IIBBBBB", w, h, 8, 6 if alpha else 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


BAYER4 = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def _median_cut(colors, count):
    """colors: {colour: pixel count}; returns at most count colours."""
    boxes = [list(colors.items())]
    while len(boxes) < count:
        # Split the box with the widest channel range (weighted by its pixel count).
        best = None
        for n, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for ch in range(3):
                vals = [c[0][ch] for c in box]
                rng = max(vals) - min(vals)
                weight = rng * math.log(2 + sum(c[1] for c in box))
                if best is None or weight > best[0]:
                    best = (weight, n, ch)
        if best is None or best[0] == 0:
            break
        _, n, ch = best
        box = sorted(boxes.pop(n), key=lambda c: (c[0][ch], c[0]))
        total = sum(c[1] for c in box)
        acc, cut = 0, 1
        for k, c in enumerate(box):
            acc += c[1]
            if acc >= total / 2:
                cut = max(1, min(len(box) - 1, k + 1))
                break
        boxes += [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(c[1] for c in box)
        palette.append(tuple(int(sum(c[0][ch] * c[1] for c in box) / total + 0.5) for ch in range(3)))
    return palette


def gif(cv, dither=0.0, transparent_below=None, max_colors=256):
    """A GIF87a/89a picture. dither: amplitude of the ordered dither (in colour steps); pixels whose alpha
    is below transparent_below become the transparent colour."""
    w, h = cv.w, cv.h
    trans = [False] * (w * h)
    px = [None] * (w * h)
    hist = {}
    for y in range(h):
        for x in range(w):
            i = y * w + x
            if transparent_below is not None and cv.a[i] < transparent_below:
                trans[i] = True
                continue
            d = (BAYER4[y % 4][x % 4] / 16.0 - 0.47) * dither
            c = (_byte(cv.r[i] + d), _byte(cv.g[i] + d), _byte(cv.b[i] + d))
            px[i] = c
            hist[c] = hist.get(c, 0) + 1
    slots = max_colors - (1 if transparent_below is not None else 0)
    palette = list(hist) if len(hist) <= slots else _median_cut(hist, slots)
    palette.sort()
    lookup = {}

    def nearest(c):
        best, bi = None, 0
        for n, p in enumerate(palette):
            d = (p[0] - c[0]) ** 2 * 3 + (p[1] - c[1]) ** 2 * 4 + (p[2] - c[2]) ** 2 * 2
            if best is None or d < best:
                best, bi = d, n
        return bi

    tindex = len(palette) if transparent_below is not None else None
    idx = bytearray(w * h)
    for i in range(w * h):
        if trans[i]:
            idx[i] = tindex
            continue
        c = px[i]
        v = lookup.get(c)
        if v is None:
            v = lookup[c] = nearest(c)
        idx[i] = v
    ncolors = len(palette) + (1 if tindex is not None else 0)
    bits = max(1, (ncolors - 1).bit_length())
    table = b"".join(bytes(p) for p in palette)
    if tindex is not None:
        table += b"\0\0\0"
    table += b"\0" * (3 * (1 << bits) - len(table))
    min_code = max(2, bits)
    data = gif_lzw_encode(idx, min_code)
    assert gif_lzw_decode(data, min_code) == bytes(idx), "LZW round trip"
    out = b"GIF89a" + struct.pack("<HHBBB", w, h, 0x80 | 0x70 | (bits - 1), 0, 0) + table
    if tindex is not None:
        out += b"\x21\xf9\x04" + struct.pack("<BHB", 1, 0, tindex) + b"\0"
    out += b"\x2c" + struct.pack("<HHHHB", 0, 0, w, h, 0) + bytes((min_code,))
    for k in range(0, len(data), 255):
        block = data[k:k + 255]
        out += bytes((len(block),)) + block
    return out + b"\0\x3b"


def gif_lzw_encode(indices, min_code):
    clear, eoi = 1 << min_code, (1 << min_code) + 1
    out = bytearray()
    acc, nacc = 0, 0
    code_size = min_code + 1
    table = {}
    next_code = eoi + 1

    def emit(code):
        nonlocal acc, nacc
        acc |= code << nacc
        nacc += code_size
        while nacc >= 8:
            out.append(acc & 255)
            acc >>= 8
            nacc -= 8

    emit(clear)
    w = indices[0]
    for k in indices[1:]:
        key = (w << 8) | k
        v = table.get(key)
        if v is not None:
            w = v
            continue
        emit(w)
        if next_code < 4095:
            table[key] = next_code
            next_code += 1
            if next_code > (1 << code_size) and code_size < 12:
                code_size += 1
        else:
            emit(clear)
            table = {}
            next_code = eoi + 1
            code_size = min_code + 1
        w = k
    emit(w)
    emit(eoi)
    if nacc:
        out.append(acc & 255)
    return bytes(out)


def gif_lzw_decode(data, min_code):
    """Decodes as a GIF reader does; used to check the encoder."""
    clear, eoi = 1 << min_code, (1 << min_code) + 1
    pos, acc, nacc = 0, 0, 0
    code_size = min_code + 1
    table = [bytes((i,)) for i in range(clear)] + [b"", b""]
    prev = None
    out = bytearray()
    while True:
        while nacc < code_size:
            if pos >= len(data):
                return bytes(out)
            acc |= data[pos] << nacc
            pos += 1
            nacc += 8
        code = acc & ((1 << code_size) - 1)
        acc >>= code_size
        nacc -= code_size
        if code == clear:
            table = table[:eoi + 1]
            code_size = min_code + 1
            prev = None
            continue
        if code == eoi:
            return bytes(out)
        if prev is None:
            entry = table[code]
        else:
            entry = table[code] if code < len(table) else prev + prev[:1]
            if len(table) < 4096:
                table.append(prev + entry[:1])
                if len(table) == (1 << code_size) and code_size < 12:
                    code_size += 1
        out += entry
        prev = entry


def jpeg(cv, path, quality=84):
    """Writes the picture as a JPEG through cjpeg."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with tempfile.NamedTemporaryFile(suffix=".ppm", delete=False) as f:
        f.write(b"P6\n%d %d\n255\n" % (cv.w, cv.h) + bytes(cv.rgb_bytes()))
        ppm = f.name
    try:
        with open(path, "wb") as out:
            subprocess.run(["cjpeg", "-quality", str(quality), "-optimize", ppm], stdout=out, check=True)
    finally:
        os.unlink(ppm)


def wav(samples, rate):
    """16-bit mono PCM."""
    data = struct.pack("<%dh" % len(samples), *(max(-32767, min(32767, int(round(s * 32767)))) for s in samples))
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * 2, 2, 16)
    body = _chunk(b"fmt ", fmt) + _chunk(b"data", data)
    return b"RIFF" + struct.pack("<I", 4 + len(body)) + b"WAVE" + body


def ogg(samples, rate, path, title):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with tempfile.NamedTemporaryFile(suffix=".wav", delete=False) as f:
        f.write(wav(samples, rate))
        tmp = f.name
    try:
        subprocess.run(["oggenc", "-Q", "-q", "0", "--serial", "20240", "-t", title, "-a", "Made by us",
                        "-o", path, tmp], check=True)
    finally:
        os.unlink(tmp)


def text_file(path, text, encoding="cp1251"):
    """A text file with CR LF line ends, in the disc's ANSI code page unless told otherwise."""
    write(path, text.strip("\n").replace("\n", "\r\n").encode(encoding) + b"\r\n")


# --------------------------------------------------------------------------------------------------
# Skin


def wall_color(x, y, glow=TEAL_D):
    """The wallpaper's background at a window position (without its decorations)."""
    t = y / WINDOW_H
    c = mix((15, 37, 63), (6, 15, 29), t)
    g1 = math.exp(-((x - 90) ** 2 + (y - WINDOW_H + 30) ** 2) / (2 * 250.0 ** 2)) * 0.6
    g2 = math.exp(-((x - WINDOW_W + 80) ** 2 + (y + 40) ** 2) / (2 * 260.0 ** 2)) * 0.35
    return mix(mix(c, glow, g1), STEEL, g2)


def wallpaper(label, glow):
    w, h = WINDOW_W, WINDOW_H
    cv = Canvas(w, h)
    cv.fill(lambda x, y: wall_color(x, y, glow))
    # Rings of a disc, far in the top right corner.
    for r in (170, 215, 260, 305):
        cv.shape(sd_ring(w - 20, -30, r, 1.3), (w - 20 - r - 2, 0, w, r), AQUA, 0.08)
    # Waves along the bottom edge.
    for k in range(4):
        base, amp, ph, fr = h - 50 + k * 10, 9 - k * 1.5, k * 1.3, 1 / 80.0 + k * 0.0025

        def wave(x, y, base=base, amp=amp, ph=ph, fr=fr):
            return abs(y - (base + amp * math.sin(x * fr + ph) + 3 * math.sin(x * fr * 2.7 + ph * 2))) - 0.9

        cv.shape(wave, (0, base - amp - 5, w, base + amp + 5), mix(glow, AQUA, 0.5 + k / 8), 0.28 - k * 0.05)
    draw_text(cv, label, 18, h - 66, 3, AQUA, 0.95)
    draw_text(cv, "MADE BY US", 19, h - 33, 2, TEAL_L, 0.7)
    return cv


def title_bar():
    w, h = WINDOW_W, 21
    cv = Canvas(w, h)

    def bg(x, y):
        c = mix((9, 26, 46), (20, 66, 88), (x / w) ** 1.6)
        if y == 0:
            return mix(c, TEAL_L, 0.35)
        if y == h - 1:
            return mix(c, NAVY_D, 0.7)
        return mix(c, NAVY_D, (y / h) * 0.35)

    cv.fill(bg)
    x = draw_text(cv, "VELTRANE", 27, 4, 2, PALE, spacing=1)
    cv.shape(sd_circle(x + 6, 10.5, 2), (x + 3, 8, x + 9, 13), TEAL_L)
    draw_text(cv, "DEMO DISC", x + 14, 4, 2, AQUA, 0.85)
    return cv


def title_color(x, y):
    return (9, 26, 46) if x < 0 else mix((9, 26, 46), (20, 66, 88), (x / WINDOW_W) ** 1.6)


def caption_button(kind, light):
    """Minimise and close buttons of the picture title bar: 18 x 18, the glyph in the top 16 rows."""
    cv = Canvas(18, 18, alpha=0.0)
    if kind == "close":
        fill = CORAL if light else (28, 68, 96)
    else:
        fill = TEAL if light else (28, 68, 96)
    cv.shape(sd_rrect(1, 0, 17, 16, 4), (1, 0, 17, 16), fill)
    cv.shape(sd_minus(sd_rrect(1, 0, 17, 16, 4), sd_rrect(2, 1, 16, 15, 3)), (1, 0, 17, 16),
             WHITE if light else TEAL_L, 0.55)
    glyph = WHITE if light else AQUA
    if kind == "close":
        cv.shape(sd_union(sd_segment(5.5, 4.5, 12.5, 11.5, 2), sd_segment(12.5, 4.5, 5.5, 11.5, 2)),
                 (4, 3, 14, 13), glyph)
    else:
        cv.shape(sd_segment(5.5, 10.5, 12.5, 10.5, 2), (4, 9, 14, 12), glyph)
    left = 732 if kind == "min" else 750
    return keyed(cv, lambda x, y: title_color(left + x, 4 + y), None)


def keyed(cv, bg, key=KEY, threshold=0.02):
    """The picture over bg where it has colour, key where it has (almost) none."""
    out = cv.copy()
    for y in range(cv.h):
        for x in range(cv.w):
            i = y * cv.w + x
            a = cv.a[i]
            if a < threshold:
                if key is not None:
                    out.r[i], out.g[i], out.b[i], out.a[i] = key[0], key[1], key[2], 1.0
                continue
            c = bg(x, y) if callable(bg) else bg
            out.r[i] = cv.r[i] * a + c[0] * (1 - a)
            out.g[i] = cv.g[i] * a + c[1] * (1 - a)
            out.b[i] = cv.b[i] * a + c[2] * (1 - a)
            if key is not None:
                out.a[i] = 1.0
    return out


SLOT = (9, 26, 44)  # the toolbar's button places; also the transparent colour of the button pictures
TOOLBAR_CELLS = (0, 4, 5, 6, 7, 8, 9)


def toolbar():
    w, h = TOOLBAR_W, TOOLBAR_H
    cv = Canvas(w, h, alpha=0.0)
    panel = sd_rrect(0.5, 0.5, w - 0.5, h - 0.5, 11)
    cv.shape(panel, (0, 0, w, h), lambda x, y: mix((26, 64, 92), (12, 34, 56), y / h))
    cv.shape(sd_minus(panel, sd_rrect(1.5, 1.5, w - 1.5, h - 1.5, 10)), (0, 0, w, h), TEAL, 0.55)
    cv.shape(sd_segment(14, 2.5, w - 14, 2.5, 1), (12, 1, w - 12, 4), AQUA, 0.25)
    for c in TOOLBAR_CELLS:
        x0 = 8 + 53 * c
        cv.shape(sd_rrect(x0, 4, x0 + 40, 40, 8), (x0, 4, x0 + 40, 40), SLOT)
        cv.shape(sd_minus(sd_rrect(x0 - 1, 3, x0 + 41, 41, 9), sd_rrect(x0, 4, x0 + 40, 40, 8)),
                 (x0 - 1, 3, x0 + 41, 41), TEAL_L, 0.22)
    # The empty cells 1 to 3 carry the disc's name, quietly.
    draw_text(cv, "VELTRANE", 8 + 53 + 18, 12, 2, TEAL_L, 0.35)
    draw_text(cv, "DEMO DISC", 8 + 53 + 24, 27, 1, TEAL_L, 0.35, spacing=2)
    return keyed(cv, lambda x, y: wall_color(236 + x, 434 + y))


def tool_glyph(name, cv, ink, accent, s=1.0):
    """The line pictures of the toolbar buttons, drawn on a 32 x 32 grid."""
    def sh(sdf, box, col, op=1.0):
        cv.shape(sdf, tuple(v * s for v in box), col, op)

    def sc(f):
        return lambda x, y: f(x / s, y / s) * s

    lw = 2.2
    if name == "play":
        sh(sc(sd_ring(16, 16, 11.5, lw)), (3, 3, 29, 29), ink)
        sh(sc(sd_polygon([(12.5, 9.5), (23, 16), (12.5, 22.5)])), (11, 8, 24, 24), accent)
    elif name == "copy":
        sh(sc(sd_minus(sd_rrect(6, 4, 20, 21, 2.5), sd_rrect(8.2, 6.2, 17.8, 18.8, 1))), (5, 3, 21, 22), ink, 0.7)
        sh(sc(sd_rrect(11, 8, 26, 26, 2.5)), (10, 7, 27, 27), (12, 34, 56))
        sh(sc(sd_minus(sd_rrect(11, 8, 26, 26, 2.5), sd_rrect(13.2, 10.2, 23.8, 23.8, 1))), (10, 7, 27, 27), ink)
        sh(sc(sd_union(sd_segment(18.5, 12, 18.5, 21, lw), sd_segment(15, 17.5, 18.5, 21, lw),
                       sd_segment(22, 17.5, 18.5, 21, lw))), (13, 10, 24, 23), accent)
        sh(sc(sd_segment(13, 29, 24, 29, lw)), (12, 27, 25, 31), accent)
    elif name == "setup":
        box = sd_polygon([(5, 12), (16, 7), (27, 12), (27, 24), (16, 29), (5, 24)])
        sh(sc(box), (4, 6, 28, 30), (14, 44, 66))
        sh(sc(sd_union(sd_minus(box, sd_polygon([(7.2, 13.3), (16, 9.3), (24.8, 13.3), (24.8, 22.7), (16, 26.7),
                                                  (7.2, 22.7)])),
                       sd_segment(5, 12, 16, 17, lw), sd_segment(27, 12, 16, 17, lw),
                       sd_segment(16, 17, 16, 29, lw))), (4, 6, 28, 30), ink)
        sh(sc(sd_union(sd_segment(16, 1.5, 16, 10, lw), sd_segment(12.5, 6.5, 16, 10, lw),
                       sd_segment(19.5, 6.5, 16, 10, lw))), (11, 0, 21, 12), accent)
    elif name == "source":
        page = sd_polygon([(6, 3), (19, 3), (25, 9), (25, 29), (6, 29)])
        sh(sc(sd_minus(page, sd_polygon([(8.2, 5.2), (18.1, 5.2), (22.8, 9.9), (22.8, 26.8), (8.2, 26.8)]))),
           (5, 2, 26, 30), ink)
        for yy in (11, 15, 19):
            sh(sc(sd_segment(10, yy, 18, yy, 1.6)), (9, yy - 1, 19, yy + 1), ink, 0.6)
        sh(sc(sd_ring(20, 20, 5, lw)), (14, 14, 26, 26), accent)
        sh(sc(sd_segment(23.7, 23.7, 28.5, 28.5, 3)), (22, 22, 30, 30), accent)
    elif name == "folder":
        back = sd_polygon([(4, 8), (12, 8), (15, 11), (28, 11), (28, 26), (4, 26)])
        sh(sc(back), (3, 7, 29, 27), (20, 70, 92))
        sh(sc(sd_polygon([(4, 14), (28, 14), (28, 26), (4, 26)])), (3, 13, 29, 27), accent, 0.45)
        sh(sc(sd_minus(back, sd_polygon([(6.2, 10.2), (11.1, 10.2), (14.1, 13.2), (25.8, 13.2), (25.8, 23.8),
                                          (6.2, 23.8)]))), (3, 7, 29, 27), ink)
        sh(sc(sd_segment(5, 15, 27, 15, 1.6)), (4, 14, 28, 16), ink)
    elif name == "write":
        house = sd_polygon([(4, 15), (16, 4), (28, 15), (25, 15), (25, 28), (7, 28), (7, 15)])
        sh(sc(sd_minus(house, sd_polygon([(9.2, 16.5), (16, 10.2), (22.8, 16.5), (22.8, 25.8), (9.2, 25.8)]))),
           (3, 3, 29, 29), ink)
        sh(sc(sd_rrect(13.5, 18, 18.5, 26, 1)), (13, 17, 19, 26), accent)
    elif name == "mail":
        env = sd_rrect(4, 8, 28, 25, 2.5)
        sh(sc(env), (3, 7, 29, 26), (14, 44, 66))
        sh(sc(sd_minus(env, sd_rrect(6.2, 10.2, 25.8, 22.8, 1))), (3, 7, 29, 26), ink)
        sh(sc(sd_union(sd_segment(5.5, 9.5, 16, 18, lw), sd_segment(26.5, 9.5, 16, 18, lw))), (4, 8, 28, 19),
           accent)


TOOL_BUTTONS = [("play", "play"), ("copy", "copy"), ("setup", "setup"), ("source", "source"),
                ("folder", "folder"), ("write", "write"), ("mail", "mail")]


def tool_button(name, enabled):
    cv = Canvas(32, 32, alpha=0.0)
    if enabled:
        tool_glyph(name, cv, AQUA, AMBER if name in ("play", "setup", "write") else TEAL_L)
    else:
        tool_glyph(name, cv, (92, 112, 128), (84, 100, 114))
    return keyed(cv, SLOT, key=SLOT)


def text_button():
    w, h = TEXT_BUTTON_W, TEXT_BUTTON_H
    cv = Canvas(w, h, alpha=0.0)
    pill = sd_rrect(0.5, 0.5, w - 0.5, h - 0.5, 11.5)
    cv.shape(pill, (0, 0, w, h), lambda x, y: mix((26, 66, 94), (12, 34, 56), y / h))
    cv.shape(sd_minus(pill, sd_rrect(1.5, 1.5, w - 1.5, h - 1.5, 10.5)), (0, 0, w, h), TEAL, 0.8)
    return keyed(cv, lambda x, y: wall_color(666 + x, 493 + y))


def text_panel():
    w, h = 530, 322
    cv = Canvas(w, h, alpha=0.0)
    panel = sd_rrect(0.5, 0.5, w - 0.5, h - 0.5, 9)
    cv.shape(panel, (0, 0, w, h), lambda x, y: mix((241, 249, 250), (225, 239, 242), y / h))
    # A faint wave in the lower right corner, too light to disturb the text.
    for k in range(3):
        def wave(x, y, k=k):
            return abs(y - (h - 30 + k * 8 + 6 * math.sin(x / 45.0 + k))) - 1.2
        cv.shape(wave, (w - 220, h - 45, w - 2, h - 2), TEAL_L, 0.14)
    cv.shape(sd_minus(panel, sd_rrect(2.5, 2.5, w - 2.5, h - 2.5, 7)), (0, 0, w, h), (58, 140, 150))
    return keyed(cv, lambda x, y: wall_color(236 + x, 89 + y), key=None)


def tab_picture(focused):
    w, h = 110, 19
    cv = Canvas(w, h, alpha=0.0)
    shape = sd_rrect(0.5, 0.5, w - 0.5, h + 8, 6)
    if focused:
        cv.shape(shape, (0, 0, w, h), (241, 249, 250))
    else:
        cv.shape(shape, (0, 0, w, h), lambda x, y: mix((200, 228, 233), (172, 210, 218), y / h))
    cv.shape(sd_minus(shape, sd_rrect(1.5, 1.5, w - 1.5, h + 9, 5)), (0, 0, w, h), (58, 140, 150))
    if not focused:
        cv.shape(sd_segment(0, h - 0.5, w, h - 0.5, 1), (0, h - 1, w, h), (58, 140, 150))
    return keyed(cv, lambda x, y: wall_color(236 + x, 71 + y), key=None)


def emblem(cv, cx, cy, r):
    """The disc's sign: a disc with a wave across it."""
    cv.shape(sd_circle(cx, cy, r), (cx - r, cy - r, cx + r, cy + r),
             lambda x, y: mix(TEAL, NAVY_L, clamp01(((x - cx) + (y - cy)) / (2.6 * r) + 0.5)))
    for k, rr in enumerate((0.82, 0.64)):
        cv.shape(sd_ring(cx, cy, r * rr, max(0.8, r * 0.025)), (cx - r, cy - r, cx + r, cy + r), AQUA, 0.35)
    cv.shape(sd_ring(cx, cy, r - max(0.6, r * 0.03), max(1.0, r * 0.06)), (cx - r, cy - r, cx + r, cy + r),
             AQUA, 0.8)

    def wave(x, y):
        return abs(y - (cy + r * 0.12 - r * 0.18 * math.sin((x - cx) / r * 3.2))) - r * 0.07

    cv.shape(sd_intersect(wave, sd_circle(cx, cy, r * 0.86)), (cx - r, cy - r, cx + r, cy + r), WHITE)
    cv.shape(sd_circle(cx, cy - r * 0.38, r * 0.11), (cx - r, cy - r, cx + r, cy + r), AMBER)


def splash():
    w, h = 440, 280
    cv = Canvas(w, h, alpha=0.0)
    card = sd_rrect(0, 26, w, h, 16)
    cv.shape(card, (0, 26, w, h),
             lambda x, y: mix(mix((24, 60, 90), (7, 20, 36), clamp01(y / h * 0.8 + x / w * 0.4)), TEAL_D,
                              math.exp(-((x - 440) ** 2 + (y - 290) ** 2) / (2 * 150.0 ** 2)) * 0.6))
    for k in range(5):
        def wave(x, y, k=k):
            return abs(y - (h - 60 + k * 9 + 7 * math.sin(x / 38.0 + k * 0.8))) - 0.9
        cv.shape(sd_intersect(wave, card), (200, h - 75, w, h), mix(TEAL_L, AQUA, k / 4), 0.35 - k * 0.05)
    cv.shape(sd_minus(card, sd_rrect(1.5, 27.5, w - 1.5, h - 1.5, 14.5)), (0, 26, w, h), TEAL, 0.7)
    emblem(cv, 84, 84, 66)
    cv.shape(sd_ring(84, 84, 67.5, 3), (14, 14, 154, 154), NAVY_D)
    draw_text(cv, "VELTRANE", 176, 54, 5, PALE, spacing=1)
    draw_text(cv, "DEMO DISC", 178, 102, 3, TEAL_L, spacing=1)
    cv.shape(sd_segment(178, 130, 420, 130, 1.2), (176, 128, 422, 132), TEAL, 0.7)
    draw_text(cv, "SECTIONS  ITEMS  ACTIONS  MUSIC", 178, 140, 1, AQUA, 0.8, spacing=1)
    # The window is cut to the picture's shape: every pixel either belongs to it or has the corner colour.
    out = Canvas(w, h)
    for i in range(w * h):
        if cv.a[i] >= 0.5:
            a = cv.a[i]
            out.r[i] = cv.r[i] * a + NAVY_D[0] * (1 - a)
            out.g[i] = cv.g[i] * a + NAVY_D[1] * (1 - a)
            out.b[i] = cv.b[i] * a + NAVY_D[2] * (1 - a)
        else:
            out.r[i], out.g[i], out.b[i] = KEY
    return out


def about_back():
    w, h = ABOUT_W, ABOUT_H
    cv = Canvas(w, h)
    # The page chooser's column on the left; the system lines (from y 341) run below it.
    cv.fill(lambda x, y: mix((241, 249, 250), (214, 234, 238), y / h) if x >= 130 or y < 22 or y >= 330
            else mix((226, 241, 244), (208, 230, 235), y / h))
    cv.fill(lambda x, y: mix((12, 34, 56), (22, 66, 88), x / w), (0, 0, w, 22))
    cv.shape(sd_segment(0, 22.5, w, 22.5, 1), (0, 22, w, 23), TEAL)
    cv.shape(sd_segment(130.5, 23, 130.5, 330, 1), (130, 23, 131, 330), (150, 196, 206))
    cv.shape(sd_segment(0, 330.5, 130.5, 330.5, 1), (0, 330, 131, 331), (150, 196, 206))
    emblem(cv, 14, 11, 7)
    draw_text(cv, "VELTRANE DEMO DISC", 28, 7, 1, AQUA, spacing=1)
    for k in range(3):
        def wave(x, y, k=k):
            return abs(y - (h - 26 + k * 7 + 5 * math.sin(x / 40.0 + k))) - 1.0
        cv.shape(wave, (180, h - 40, w, h), TEAL_L, 0.18)
    return cv


def about_logo():
    cv = Canvas(96, 96, (240, 248, 249))
    cv.shape(sd_rrect(0.5, 0.5, 95.5, 95.5, 14), (0, 0, 96, 96), lambda x, y: mix(NAVY_L, NAVY_D, y / 96))
    emblem(cv, 48, 48, 36)
    return cv


# --------------------------------------------------------------------------------------------------
# Icons of the project (tree, chooser) and of the windows


def icon_art(name, S):
    cv = Canvas(S, S, alpha=0.0)
    s = S / 32.0

    def sh(sdf, col, op=1.0, box=(0, 0, 32, 32)):
        cv.shape(lambda x, y: sdf(x / s, y / s) * s, tuple(v * s for v in box), col, op)

    def page(x0, y0, x1, y1, fill=WHITE):
        sh(sd_rrect(x0, y0, x1, y1, 2), (40, 96, 110))
        sh(sd_rrect(x0 + 1.3, y0 + 1.3, x1 - 1.3, y1 - 1.3, 1), fill)

    if name == "disc":
        emblem(cv, 16 * s, 16 * s, 14.5 * s)
    elif name in ("folder", "folder_open"):
        sh(sd_polygon([(2, 7), (12, 7), (15, 10), (29, 10), (29, 27), (2, 27)]), (30, 110, 126))
        if name == "folder":
            sh(sd_rrect(2, 12, 29.5, 27.5, 1.5), lambda x, y: mix((120, 214, 210), (52, 160, 168), y / (28 * s)))
        else:
            page(7, 5, 25, 20)
            sh(sd_polygon([(6, 14), (31, 14), (27, 27.5), (2, 27.5)]),
               lambda x, y: mix((140, 226, 220), (52, 160, 168), y / (28 * s)))
    elif name == "notes":
        page(5, 2, 24, 30)
        for yy in (9, 13, 17, 21):
            sh(sd_segment(9, yy, 20, yy, 1.6), (120, 150, 165))
        sh(sd_segment(26, 9, 15, 27, 5), AMBER)
        sh(sd_polygon([(13.2, 25.5), (16.9, 27.7), (12.8, 30.5)]), (60, 60, 60))
        sh(sd_segment(26, 9, 24.5, 11.5, 5), CORAL)
    elif name == "calc":
        sh(sd_rrect(5, 2, 27, 30, 3.5), NAVY_L)
        sh(sd_rrect(8, 5, 24, 12, 1.5), AQUA)
        for r in range(3):
            for c in range(3):
                x0, y0 = 8.5 + c * 5.5, 15 + r * 4.8
                sh(sd_rrect(x0, y0, x0 + 4, y0 + 3.4, 1), AMBER if (r, c) == (2, 2) else (180, 210, 220))
    elif name == "player":
        sh(sd_circle(16, 16, 14.5), lambda x, y: mix(TEAL, NAVY_L, y / (32 * s)))
        sh(sd_union(sd_segment(20, 7, 20, 21, 2.4), sd_segment(20, 7, 25, 10, 2.4)), WHITE)
        sh(sd_circle(16.5, 21.5, 4), WHITE)
    elif name == "book":
        sh(sd_rrect(5, 3, 27, 29, 2.5), (30, 110, 126))
        sh(sd_rrect(8, 24, 26, 28, 1), WHITE)
        sh(sd_rrect(5, 3, 10, 29, 2), (20, 76, 96))
        sh(sd_rrect(13, 8, 24, 14, 1), AQUA)
    elif name == "text":
        page(6, 2, 26, 30)
        for yy in (8, 12, 16, 20, 24):
            sh(sd_segment(10, yy, 22 - (yy % 8), yy, 1.6), (40, 120, 140))
    elif name == "photos":
        sh(sd_rrect(2, 5, 30, 27, 2.5), (40, 96, 110))
        sh(sd_rrect(4, 7, 28, 25, 1), lambda x, y: mix((140, 200, 236), (240, 210, 170), y / (25 * s)))
        sh(sd_circle(22, 12, 3), AMBER)
        sh(sd_intersect(sd_polygon([(4, 25), (12, 14), (19, 21), (23, 17), (28, 22), (28, 25)]),
                        sd_rrect(4, 7, 28, 25, 1)), TEAL_D)
    elif name == "web":
        sh(sd_circle(16, 16, 14), lambda x, y: mix(AQUA, TEAL, y / (32 * s)))
        ring = sd_union(sd_ring(16, 16, 13.2, 1.6), sd_segment(16, 2.5, 16, 29.5, 1.6),
                        sd_segment(2.5, 16, 29.5, 16, 1.6),
                        lambda x, y: abs(math.hypot((x - 16) * 2.0, y - 16) - 13.2) - 0.8,
                        sd_segment(5, 9.5, 27, 9.5, 1.4), sd_segment(5, 22.5, 27, 22.5, 1.4))
        sh(sd_intersect(ring, sd_circle(16, 16, 14)), (18, 80, 100))
    elif name == "install":
        sh(sd_polygon([(3, 13), (16, 8), (29, 13), (29, 26), (16, 31), (3, 26)]), (176, 132, 76))
        sh(sd_polygon([(3, 13), (16, 18), (29, 13), (16, 8)]), (222, 180, 120))
        sh(sd_polygon([(16, 18), (29, 13), (29, 26), (16, 31)]), (150, 108, 60))
        sh(sd_union(sd_segment(16, 1.5, 16, 12, 3), sd_segment(11.5, 8, 16, 12.5, 3), sd_segment(20.5, 8, 16, 12.5, 3)),
           TEAL_D)
    elif name == "copy":
        page(3, 2, 20, 23, (225, 240, 244))
        page(11, 9, 28, 30)
        sh(sd_union(sd_segment(19.5, 14, 19.5, 25, 2.4), sd_segment(15.5, 21, 19.5, 25, 2.4),
                    sd_segment(23.5, 21, 19.5, 25, 2.4)), TEAL)
    elif name == "info":
        sh(sd_circle(16, 16, 14.5), lambda x, y: mix(TEAL_L, TEAL_D, y / (32 * s)))
        sh(sd_circle(16, 9, 2.4), WHITE)
        sh(sd_rrect(13.8, 13, 18.2, 25, 1.2), WHITE)
    elif name == "tour":
        sh(sd_circle(16, 16, 14.5), (30, 80, 110))
        sh(sd_ring(16, 16, 12.5, 1.5), AQUA, 0.7)
        sh(sd_polygon([(16, 4), (19.5, 16), (16, 28), (12.5, 16)]), WHITE)
        sh(sd_polygon([(16, 4), (19.5, 16), (12.5, 16)]), CORAL)
        sh(sd_circle(16, 16, 1.8), NAVY_D)
    return cv


PICTURES = ["disc", "notes", "calc", "player", "book", "text", "photos", "folder", "folder_open", "web",
            "install", "copy", "info", "tour"]
PIC = {name: n for n, name in enumerate(PICTURES)}


# --------------------------------------------------------------------------------------------------
# Cursors (32 x 32)


def outlined(cv, sdf, fill, outline=NAVY_D, width=1.2, box=(0, 0, 32, 32)):
    cv.shape(lambda x, y: sdf(x, y) - width, box, outline)
    cv.shape(sdf, box, fill)


ARROW = [(3, 2), (3, 24), (8.5, 19), (12.5, 27.5), (16.5, 25.8), (12.8, 17.6), (20, 17.6)]


def cursor_arrow(shine=None):
    cv = Canvas(32, 32, alpha=0.0)
    body = sd_polygon(ARROW)
    if shine is None:
        fill = WHITE
    else:
        def fill(x, y):
            return mix(WHITE, TEAL_L, math.exp(-((x + y * 0.6 - shine) ** 2) / 10.0))
    outlined(cv, body, fill)
    return cv


def cursor_busy(step):
    cv = Canvas(32, 32, alpha=0.0)
    for k in range(8):
        ang = k * math.pi / 4 - math.pi / 2
        x, y = 16 + 9.5 * math.cos(ang), 16 + 9.5 * math.sin(ang)
        age = (step - k) % 8
        cv.shape(sd_circle(x, y, 3.6), (x - 5, y - 5, x + 5, y + 5), NAVY_D, 0.9)
        cv.shape(sd_circle(x, y, 2.6), (x - 4, y - 4, x + 4, y + 4), mix(AQUA, TEAL_D, age / 7.0))
    return cv


def cursor_hand():
    cv = Canvas(32, 32, alpha=0.0)
    hand = sd_union(sd_segment(12, 4, 12, 16, 5.2), sd_rrect(8, 13, 24.5, 29, 4.5),
                    sd_segment(16.5, 13, 16.5, 16, 4.6), sd_segment(20.8, 14, 20.8, 17, 4.4),
                    sd_segment(9.5, 22, 5.2, 16.5, 4.6))
    outlined(cv, hand, WHITE)
    for x in (14.3, 18.7):
        cv.shape(sd_segment(x, 16.5, x, 20, 0.9), (x - 1, 16, x + 1, 21), STEEL, 0.7)
    cv.shape(sd_rrect(8.6, 25.5, 23.9, 28.4, 2), (8, 25, 25, 29), TEAL_L)
    return cv


def cursor_pen():
    cv = Canvas(32, 32, alpha=0.0)
    body = sd_segment(9.5, 22.5, 26, 6, 6)
    tip = sd_polygon([(2.5, 29.5), (6.2, 19.6), (12.4, 25.8)])
    outlined(cv, sd_union(body, tip), TEAL)
    cv.shape(tip, (2, 19, 13, 30), (246, 226, 190))
    cv.shape(sd_polygon([(2.5, 29.5), (3.9, 25.2), (6.8, 28.1)]), (2, 25, 7, 30), NAVY_D)
    cv.shape(sd_segment(23.5, 8.5, 26.5, 5.5, 6), (20, 2, 30, 12), CORAL)
    cv.shape(sd_segment(10.5, 21.5, 24, 8, 1.2), (9, 7, 25, 23), AQUA, 0.8)
    return cv


def cursor_ibeam():
    cv = Canvas(32, 32, alpha=0.0)
    beam = sd_union(sd_segment(16, 6, 16, 26, 2), sd_segment(11.5, 4.5, 14.5, 4.5, 2),
                    sd_segment(17.5, 4.5, 20.5, 4.5, 2), sd_segment(11.5, 27.5, 14.5, 27.5, 2),
                    sd_segment(17.5, 27.5, 20.5, 27.5, 2), sd_segment(14.5, 4.5, 16, 6, 2),
                    sd_segment(17.5, 4.5, 16, 6, 2), sd_segment(14.5, 27.5, 16, 26, 2),
                    sd_segment(17.5, 27.5, 16, 26, 2))
    outlined(cv, beam, NAVY_D, outline=WHITE, width=1.1)
    return cv


def cursor_help():
    cv = cursor_arrow()
    cv.shape(sd_circle(24, 23, 7.5), (16, 15, 32, 31), NAVY_D)
    cv.shape(sd_circle(24, 23, 6.5), (17, 16, 31, 30), TEAL)
    draw_text(cv, "?", 21.4, 19, 1.05, WHITE, bold=True)
    return cv


# --------------------------------------------------------------------------------------------------
# Screenshots and photos


def mock_window(title, w=400, h=300, menu=("FILE", "EDIT", "VIEW", "HELP"), body=(246, 250, 251)):
    cv = Canvas(w, h, body)
    cv.fill(lambda x, y: mix(NAVY_L, NAVY, y / 22), (0, 0, w, 22))
    emblem(cv, 11, 11, 6.5)
    draw_text(cv, title, 23, 8, 1, PALE, spacing=1)
    for k, col in enumerate(((120, 140, 160), (120, 140, 160), CORAL)):
        x = w - 40 + k * 13
        cv.shape(sd_circle(x, 11, 4), (x - 5, 6, x + 5, 16), col)
    if menu:
        cv.fill(lambda x, y: (222, 234, 238), (0, 22, w, 38))
        x = 8
        for word in menu:
            draw_text(cv, word, x, 27, 1, INK)
            x += text_width(word, 1) + 14
        cv.fill(lambda x, y: (190, 210, 216), (0, 38, w, 39))
    return cv


def bars(cv, x, y, widths, color=(120, 144, 160), step=11, height=4, opacity=1.0):
    for n, bw in enumerate(widths):
        if bw > 0:
            yy = y + n * step
            cv.shape(sd_rrect(x, yy, x + bw, yy + height, 2), (x, yy, x + bw, yy + height), color, opacity)


def shot_notes(kind):
    cv = mock_window("TIDE NOTES - README.TXT")
    w, h = cv.w, cv.h
    for k in range(6):
        x = 8 + k * 22
        cv.shape(sd_rrect(x, 44, x + 16, 60, 3), (x, 44, x + 16, 60), (210, 226, 232))
        cv.shape(sd_rrect(x + 4, 48, x + 12, 56, 1.5), (x, 44, x + 16, 60),
                 [TEAL, TEAL_D, AMBER, STEEL, TEAL, CORAL][k])
    cv.fill(lambda x, y: (228, 238, 241), (0, 66, 30, h - 18))
    for n in range(18):
        draw_text(cv, "%2d" % (n + 1), 8, 72 + n * 11, 1, (130, 150, 165))
    widths = [180, 240, 120, 0, 260, 200, 90, 0, 150, 280, 230, 0, 110, 250, 170, 60, 0, 140]
    bars(cv, 40, 73, widths, INK, opacity=0.55)
    bars(cv, 40, 73, [40, 0, 60, 0, 0, 50, 0, 0, 70, 0, 0, 0, 44, 0, 0, 0, 0, 30], TEAL)
    cv.fill(lambda x, y: (222, 234, 238), (0, h - 18, w, h))
    draw_text(cv, "LN 12  COL 5     CP1251     INSERT", 8, h - 12, 1, INK)
    if kind == 2:
        cv.shape(sd_rrect(38, 138, 118, 146, 2), (38, 138, 118, 146), AMBER, 0.8)
        px, py = 150, 150
        cv.shape(sd_rrect(px + 3, py + 3, px + 233, py + 93, 6), (px, py, px + 240, py + 100), NAVY_D, 0.25)
        cv.shape(sd_rrect(px, py, px + 230, py + 90, 6), (px, py, px + 230, py + 90), WHITE)
        cv.shape(sd_minus(sd_rrect(px, py, px + 230, py + 90, 6), sd_rrect(px + 1, py + 1, px + 229, py + 89, 5)),
                 (px, py, px + 230, py + 90), STEEL)
        draw_text(cv, "FIND", px + 12, py + 12, 2, INK)
        cv.shape(sd_rrect(px + 12, py + 36, px + 218, py + 54, 3), (px, py, px + 230, py + 90), (232, 242, 244))
        draw_text(cv, "HARBOR", px + 18, py + 42, 1, INK)
        for k, word in enumerate(("NEXT", "CLOSE")):
            bx = px + 108 + k * 58
            cv.shape(sd_rrect(bx, py + 62, bx + 50, py + 80, 4), (bx, py + 62, bx + 50, py + 80),
                     TEAL if k == 0 else (210, 226, 232))
            draw_text_centered(cv, word, bx + 25, py + 68, 1, WHITE if k == 0 else INK)
    if kind == 3:
        cv.shape(sd_rrect(0, 0, w, h, 0), (0, 39, w, h), NAVY_D, 0.35)
        px, py = 90, 70
        cv.shape(sd_rrect(px, py, px + 220, py + 170, 8), (px, py, px + 220, py + 170), WHITE)
        draw_text(cv, "SETTINGS", px + 14, py + 14, 2, INK)
        for k, (label, on) in enumerate((("WORD WRAP", True), ("LINE NUMBERS", True), ("DARK THEME", False),
                                          ("AUTOSAVE", True))):
            y = py + 48 + k * 26
            draw_text(cv, label, px + 16, y + 4, 1, INK)
            sx = px + 170
            cv.shape(sd_rrect(sx, y, sx + 32, y + 15, 7.5), (sx, y, sx + 32, y + 15), TEAL if on else (190, 204, 210))
            kx = sx + 24.5 if on else sx + 7.5
            cv.shape(sd_circle(kx, y + 7.5, 5.5), (kx - 7, y, kx + 7, y + 15), WHITE)
    return cv


def shot_calc(kind):
    cv = mock_window("WAVE CALC", menu=("EDIT", "VIEW", "HELP"), body=(18, 44, 68))
    w, h = cv.w, cv.h
    left = 12 if kind == 1 else 12
    width = 236 if kind == 2 else 376
    cv.shape(sd_rrect(left, 48, left + width, 96, 6), (left, 48, left + width, 96), PALE)
    value = "3.14159" if kind == 1 else "42"
    x = left + width - 12 - text_width(value, 4)
    draw_text(cv, value, x, 58, 4, INK)
    draw_text(cv, "DEG" if kind == 1 else "M+", left + 10, 54, 1, STEEL)
    keys = ["C", "(", ")", "/", "7", "8", "9", "*", "4", "5", "6", "-", "1", "2", "3", "+", "0", ".", "%", "="]
    cols = 4
    kw = (width - 3 * 8) / cols
    for n, label in enumerate(keys):
        r, c = divmod(n, cols)
        x0, y0 = left + c * (kw + 8), 106 + r * 38
        col = AMBER if label == "=" else TEAL_D if c == 3 else (36, 76, 104)
        cv.shape(sd_rrect(x0, y0, x0 + kw, y0 + 30, 6), (x0, y0, x0 + kw, y0 + 30), col)
        draw_text_centered(cv, label, x0 + kw / 2, y0 + 8, 2, WHITE if label != "=" else INK)
    if kind == 2:
        tx = left + width + 12
        cv.shape(sd_rrect(tx, 48, w - 12, h - 12, 6), (tx, 48, w - 12, h - 12), (232, 242, 244))
        draw_text(cv, "HISTORY", tx + 10, 58, 1, STEEL)
        for n, line in enumerate(("12 + 30 = 42", "7 * 6 = 42", "84 / 2 = 42", "50 - 8 = 42", "6 * 7 = 42")):
            draw_text(cv, line, tx + 10, 78 + n * 18, 1, INK)
    return cv


def shot_player(kind):
    cv = mock_window("HARBOR PLAYER", menu=None, body=(12, 32, 52))
    w, h = cv.w, cv.h
    if kind == 1:
        cv.shape(sd_rrect(20, 40, 160, 180, 10), (20, 40, 160, 180), NAVY_L)
        emblem(cv, 90, 110, 54)
        draw_text(cv, "HARBOR TUNE", 180, 48, 2, PALE)
        draw_text(cv, "MADE BY US", 180, 72, 1, TEAL_L)
        rnd = random.Random(7)
        for k in range(48):
            x = 182 + k * 4
            a = 6 + 26 * abs(math.sin(k * 0.37)) * (0.6 + 0.4 * rnd.random())
            cv.shape(sd_rrect(x, 130 - a, x + 2.6, 130 + a, 1.3), (x, 90, x + 3, 170), TEAL_L if k < 20 else STEEL)
        cv.shape(sd_rrect(20, 206, 380, 211, 2.5), (20, 206, 380, 211), STEEL)
        cv.shape(sd_rrect(20, 206, 170, 211, 2.5), (20, 206, 170, 211), AQUA)
        cv.shape(sd_circle(170, 208.5, 6), (163, 201, 177, 216), WHITE)
        draw_text(cv, "0:02", 20, 220, 1, TEAL_L)
        draw_text(cv, "0:06", 356, 220, 1, TEAL_L)
        cv.shape(sd_circle(200, 258, 22), (176, 234, 224, 282), TEAL)
        cv.shape(sd_union(sd_rrect(192, 248, 197, 268, 1.5), sd_rrect(203, 248, 208, 268, 1.5)),
                 (190, 246, 210, 270), WHITE)
        for sx, d in ((150, -1), (250, 1)):
            tri = sd_polygon([(sx - 8 * d, 250), (sx + 6 * d, 258), (sx - 8 * d, 266)])
            cv.shape(tri, (sx - 10, 248, sx + 10, 268), AQUA)
            cv.shape(sd_rrect(sx + 6 * d - 1.5, 250, sx + 6 * d + 1.5, 266, 1), (sx - 10, 248, sx + 10, 268), AQUA)
    else:
        draw_text(cv, "PLAYLIST", 20, 40, 2, PALE)
        rows = [("01", "HARBOR TUNE", "0:06"), ("02", "INTRO", "0:05"), ("03", "PROGRAMS", "0:08"),
                ("04", "TOUR", "0:08"), ("05", "LOW TIDE", "1:20"), ("06", "LIGHTHOUSE", "2:05")]
        for n, (no, name, length) in enumerate(rows):
            y = 70 + n * 30
            if n == 0:
                cv.shape(sd_rrect(14, y - 4, 386, y + 20, 5), (14, y - 4, 386, y + 20), TEAL_D)
            draw_text(cv, no, 24, y + 4, 2, TEAL_L)
            draw_text(cv, name, 64, y + 4, 2, WHITE if n == 0 else PALE)
            draw_text(cv, length, 340, y + 4, 2, AQUA)
    return cv


def shot_overview(kind):
    cv = Canvas(400, 300)
    cv.fill(lambda x, y: mix((18, 46, 72), (7, 18, 33), y / 300))
    if kind == 1:
        draw_text_centered(cv, "THREE SMALL PROGRAMS", 200, 24, 2, PALE)
        tiles = (("notes", "TIDE NOTES"), ("calc", "WAVE CALC"), ("player", "HARBOR PLAYER"))
        for k, (name, label) in enumerate(tiles):
            x0 = 20 + k * 124
            cv.shape(sd_rrect(x0, 70, x0 + 112, 220, 10), (x0, 70, x0 + 112, 220), (24, 60, 88))
            cv.blit(icon_art(name, 64), int(x0 + 24), 92)
            draw_text_centered(cv, label, x0 + 56, 176, 1, AQUA)
        draw_text_centered(cv, "INSTALL  RUN  COPY  LISTEN", 200, 250, 1, TEAL_L)
    else:
        draw_text_centered(cv, "HOW AN ITEM RUNS", 200, 24, 2, PALE)
        steps = (("install", "CHOOSE"), ("copy", "COPY"), ("notes", "START"))
        for k, (name, label) in enumerate(steps):
            cx = 70 + k * 130
            cv.shape(sd_circle(cx, 130, 44), (cx - 45, 85, cx + 45, 175), (24, 60, 88))
            cv.shape(sd_ring(cx, 130, 44, 2), (cx - 47, 83, cx + 47, 177), TEAL)
            cv.blit(icon_art(name, 48), cx - 24, 106)
            draw_text_centered(cv, label, cx, 190, 2, AQUA)
            if k < 2:
                ax = cx + 52
                cv.shape(sd_union(sd_segment(ax, 130, ax + 26, 130, 3), sd_segment(ax + 18, 122, ax + 26, 130, 3),
                                  sd_segment(ax + 18, 138, ax + 26, 130, 3)), (ax - 2, 118, ax + 30, 142), AMBER)
        draw_text_centered(cv, "ONE ACTION RUNS AT ONCE, SEVERAL OPEN A CHOOSER", 200, 250, 1, TEAL_L)
    return cv


def shot_tour(kind):
    cv = Canvas(400, 300)
    cv.fill(lambda x, y: mix((18, 46, 72), (7, 18, 33), y / 300))
    if kind == 1:
        draw_text_centered(cv, "THE WINDOW", 200, 14, 2, PALE)
        # The main window's layout, scaled down.
        k = 0.44
        ox, oy = (400 - WINDOW_W * k) / 2, 42

        def box(x0, y0, x1, y1, col, label=None, ink=INK):
            cv.shape(sd_rrect(ox + x0 * k, oy + y0 * k, ox + x1 * k, oy + y1 * k, 3),
                     (ox + x0 * k, oy + y0 * k, ox + x1 * k, oy + y1 * k), col)
            if label:
                draw_text_centered(cv, label, ox + (x0 + x1) / 2 * k, oy + (y0 + y1) / 2 * k - 3, 1, ink)

        box(0, 0, WINDOW_W, WINDOW_H, (12, 32, 52))
        box(0, 0, WINDOW_W, 21, TEAL_D)
        box(8, 48, 225, 478, (221, 238, 241), "1 TREE")
        box(240, 48, 762, 68, (40, 90, 120), "2 TITLE", PALE)
        box(236, 89, 766, 411, (236, 246, 247), "3 TEXT AND PICTURES")
        box(236, 434, 766, 478, (40, 90, 120), "4 TOOLBAR", PALE)
        box(666, 493, 762, 517, TEAL, "5")
        box(666, 518, 762, 542, TEAL, "5")
        draw_text(cv, "5 OPTIONS, EXIT", ox + 12 * k, oy + 500 * k, 1, TEAL_L)
    elif kind == 2:
        draw_text_centered(cv, "THE TOOLBAR", 200, 14, 2, PALE)
        labels = ("PLAY MUSIC", "COPY TO DISK", "INSTALL OR RUN", "OPEN", "ITEM FOLDER", "INTRO", "MAIL THE AUTHOR")
        for n, ((name, _), label) in enumerate(zip(TOOL_BUTTONS, labels)):
            y = 42 + n * 36
            cv.shape(sd_rrect(40, y, 76, y + 32, 7), (40, y, 76, y + 32), SLOT)
            btn = Canvas(32, 32, alpha=0.0)
            tool_glyph(name, btn, AQUA, AMBER if name in ("play", "setup", "write") else TEAL_L)
            cv.blit(btn, 42, y)
            draw_text(cv, label, 92, y + 10, 2, PALE)
    else:
        draw_text_centered(cv, "COPY TO YOUR DISK", 200, 14, 2, PALE)
        px, py = 80, 40
        cv.shape(sd_rrect(px, py, px + 240, py + 250, 8), (px, py, px + 240, py + 250), (94, 159, 176))
        cv.shape(sd_rrect(px + 8, py + 10, px + 130, py + 28, 3), (px, py, px + 240, py + 250), PALE)
        draw_text(cv, "C: (SYSTEM)", px + 14, py + 16, 1, INK)
        draw_text(cv, "FREE: 51200 MB", px + 140, py + 10, 1, INK)
        draw_text(cv, "REQUIRED: 0.1 MB", px + 140, py + 22, 1, INK)
        cv.shape(sd_rrect(px + 8, py + 38, px + 232, py + 180, 3), (px, py, px + 240, py + 250), PALE)
        for n, name in enumerate(("C:/", "  DEMO", "    TIDE NOTES", "  HOME", "  TOOLS")):
            y = py + 46 + n * 16
            if n == 2:
                cv.shape(sd_rrect(px + 10, y - 4, px + 230, y + 11, 2), (px, py, px + 240, py + 250), TEAL_L)
            draw_text(cv, name, px + 16, y, 1, INK)
        cv.shape(sd_rrect(px + 8, py + 188, px + 232, py + 204, 3), (px, py, px + 240, py + 250), PALE)
        draw_text(cv, "C:/DEMO/TIDE NOTES/", px + 14, py + 193, 1, INK)
        for k, word in enumerate(("COPY", "CANCEL")):
            bx = px + 40 + k * 100
            cv.shape(sd_rrect(bx, py + 214, bx + 90, py + 240, 5), (bx, py + 214, bx + 90, py + 240),
                     NAVY_L if k == 0 else (60, 110, 130))
            draw_text_centered(cv, word, bx + 45, py + 223, 1, WHITE)
    return cv


def photo_sea():
    w, h = 480, 320
    hz = 190
    cv = Canvas(w, h)

    def sky(x, y):
        t = y / hz
        c = mix((34, 52, 104), (232, 140, 110), t ** 1.6)
        c = mix(c, (255, 214, 150), math.exp(-((x - 300) ** 2 + (y - hz) ** 2) / (2 * 70.0 ** 2)) * 0.8)
        return c

    def sea(x, y):
        t = (y - hz) / (h - hz)
        c = mix((70, 78, 110), (12, 30, 58), t ** 0.7)
        glint = math.exp(-((x - 300) / (14 + 60 * t)) ** 2) * (0.5 + 0.5 * math.sin(y * 1.7 + x * 0.05)) * (1 - t) * 0.9
        return mix(c, (255, 210, 150), glint)

    cv.fill(lambda x, y: sky(x, y) if y < hz else sea(x, y))
    cv.shape(sd_intersect(sd_circle(300, hz + 6, 26), lambda x, y: y - hz), (270, hz - 24, 330, hz), (255, 236, 190))
    cv.shape(sd_polygon([(0, hz), (0, hz - 18), (40, hz - 26), (90, hz - 12), (130, hz - 6), (150, hz)]),
             (0, hz - 30, 150, hz), (40, 40, 70))
    return cv


def photo_hills():
    w, h = 480, 320
    cv = Canvas(w, h)
    bands = [(196, 228, 236), (176, 216, 228), (156, 204, 220), (138, 192, 212)]
    cv.fill(lambda x, y: bands[min(3, y // 40)])
    cv.shape(sd_circle(360, 80, 30), (328, 48, 392, 112), (255, 228, 160))
    layers = [((120, 186, 176), 150, 24, 0.011, 0.0), ((70, 156, 150), 190, 22, 0.015, 1.3),
              ((36, 118, 122), 230, 18, 0.02, 2.1), ((20, 78, 90), 270, 14, 0.027, 0.4)]
    for col, base, amp, fr, ph in layers:
        def hill(x, y, base=base, amp=amp, fr=fr, ph=ph):
            return (base + amp * math.sin(x * fr + ph) + amp * 0.5 * math.sin(x * fr * 2.3 + ph * 1.7)) - y
        cv.shape(hill, (0, base - amp * 1.6, w, h), col)
    for x, y in ((70, 236), (96, 240), (420, 262)):
        cv.shape(sd_polygon([(x, y - 26), (x + 9, y), (x - 9, y)]), (x - 10, y - 27, x + 10, y), (16, 60, 64))
    return cv


def photo_moon():
    w, h = 480, 320
    cv = Canvas(w, h)
    cv.fill(lambda x, y: mix((8, 16, 40), (30, 56, 96), y / h))
    rnd = random.Random(2024)
    for _ in range(90):
        x, y, r = rnd.random() * w, rnd.random() * 220, 0.5 + rnd.random() * 1.1
        cv.shape(sd_circle(x, y, r), (x - 2, y - 2, x + 2, y + 2), (230, 236, 255), 0.5 + rnd.random() * 0.5)
    cv.shape(sd_circle(340, 90, 40), (300, 50, 380, 130),
             lambda x, y: mix((250, 246, 226), (220, 214, 190), (y - 50) / 80))
    for cx, cy, r in ((328, 80, 7), (352, 104, 5), (356, 74, 4)):
        cv.shape(sd_circle(cx, cy, r), (cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1), (206, 200, 176))
    cv.shape(lambda x, y: 250 + 6 * math.sin(x / 30.0) - y, (0, 240, w, h), (10, 22, 40))
    # A lighthouse on the shore, its light towards the moon.
    cv.shape(sd_polygon([(104, 250), (112, 180), (126, 180), (134, 250)]), (100, 176, 138, 252), (230, 232, 236))
    for y in (196, 222):
        cv.shape(sd_polygon([(104 + (250 - y) * 0.114 - 1, y), (134 - (250 - y) * 0.114 + 1, y),
                             (134 - (250 - y - 10) * 0.114 + 1, y + 10), (104 + (250 - y - 10) * 0.114 - 1, y + 10)]),
                 (100, y, 138, y + 11), CORAL)
    cv.shape(sd_rrect(110, 166, 128, 181, 2), (108, 164, 130, 182), AMBER)
    beam = sd_polygon([(126, 170), (330, 118), (330, 152), (126, 178)])
    cv.shade(lambda x, y: ((255, 236, 170), clamp01(0.5 - beam(x, y)) * 0.22 * clamp01(1 - (x - 126) / 215.0)),
             (124, 116, 332, 180))
    return cv


# --------------------------------------------------------------------------------------------------
# Music


RATE = 22050


def midi(n):
    return 440.0 * 2 ** ((n - 69) / 12.0)


TIMBRES = {
    # partial ratios and levels, decay per second, attack in seconds
    "bell": ([1, 2.0, 3.01, 4.2], [1, 0.42, 0.2, 0.1], 2.6, 0.004),
    "pluck": ([1, 2, 3], [1, 0.35, 0.12], 4.5, 0.005),
    "pad": ([1, 2, 1.005], [0.7, 0.18, 0.6], 0.35, 0.35),
    "bass": ([1, 2], [1, 0.25], 1.6, 0.01),
}


def synth(events, seconds, loop, echo=(0.27, 0.3)):
    """events: (start, midi note, length, level, timbre). A looped tune wraps its tails round to its start."""
    n = int(seconds * RATE)
    buf = [0.0] * n
    for start, note, length, level, timbre in events:
        ratios, levels, decay, attack = TIMBRES[timbre]
        f = midi(note)
        total = int((length + 0.5) * RATE)
        s0 = int(start * RATE)
        rel = int(0.5 * RATE)
        for k in range(total):
            i = s0 + k
            if i >= n:
                if not loop:
                    break
                i %= n
            t = k / RATE
            env = min(1.0, t / attack) * math.exp(-decay * t)
            if k > total - rel:
                env *= (total - k) / rel
            v = 0.0
            for r, lv in zip(ratios, levels):
                v += lv * math.sin(2 * math.pi * f * r * t)
            buf[i] += v * env * level
    if echo:
        delay, gain = int(echo[0] * RATE), echo[1]
        out = list(buf)
        for rep in range(1, 4):
            g = gain ** rep
            for i in range(n):
                j = i + delay * rep
                if j >= n:
                    if not loop:
                        break
                    j %= n
                out[j] += buf[i] * g
        buf = out
    peak = max(abs(v) for v in buf) or 1.0
    buf = [v / peak * 0.7 for v in buf]
    if not loop:
        fade = int(0.3 * RATE)
        for k in range(fade):
            buf[n - 1 - k] *= k / fade
    return buf


def tune_intro():
    ev = []
    for k, m in enumerate((60, 64, 67, 72, 76)):
        ev.append((k * 0.16, m, 1.6, 0.5, "bell"))
    for m in (48, 55, 60, 64):
        ev.append((0.9, m, 3.0, 0.22, "pad"))
    for k, m in enumerate((79, 76, 74, 72, 74, 79)):
        ev.append((1.3 + k * 0.36, m, 1.2, 0.32, "bell"))
    ev.append((3.5, 72, 1.5, 0.4, "bell"))
    ev.append((3.5, 84, 1.5, 0.15, "bell"))
    return synth(ev, 5.0, loop=False)


def tune_loop(root, scale, seed, timbre):
    """Eight seconds in four chords, for a section."""
    rnd = random.Random(seed)
    ev = []
    chords = [0, 5, 3, 4] if seed % 2 else [0, 3, 5, 4]
    beat = 0.5
    for c, deg in enumerate(chords):
        t0 = c * 2.0
        base = root + scale[deg % len(scale)] - 12
        ev.append((t0, base - 12, 2.0, 0.35, "bass"))
        for m in (base, base + 7, base + 12):
            ev.append((t0, m, 2.0, 0.12, "pad"))
        for b in range(4):
            if b == 0 or rnd.random() < 0.8:
                m = root + scale[rnd.randrange(len(scale))] + (12 if rnd.random() < 0.3 else 0)
                ev.append((t0 + b * beat + (0.25 if rnd.random() < 0.25 else 0), m, 0.8, 0.3, timbre))
    return synth(ev, 8.0, loop=True)


def tune_harbor():
    ev = []
    melody = [(0, 69, 0.4), (0.4, 72, 0.4), (0.8, 76, 0.8), (1.6, 74, 0.4), (2.0, 72, 0.4), (2.4, 69, 0.8),
              (3.2, 67, 0.4), (3.6, 69, 0.4), (4.0, 72, 1.6)]
    for t, m, d in melody:
        ev.append((t, m, d, 0.45, "pluck"))
    for t, m in ((0, 45), (1.6, 41), (3.2, 43), (4.0, 45)):
        ev.append((t, m, 1.6, 0.3, "bass"))
        ev.append((t, m + 12, 1.6, 0.1, "pad"))
    return synth(ev, 6.0, loop=False)


# --------------------------------------------------------------------------------------------------
# Texts


def stand_in(name, doing):
    """A harmless stand-in program: a shell script (named like a Windows program where the project wants
    one) that only tells what it would do."""
    return f"""#!/bin/sh
# {name}: a stand-in program of the Veltrane demo disc. It installs nothing, writes nothing and
# changes nothing; it only says what a real program would do here.
text="{name} (demo): {doing}"
if [ "$#" -gt 0 ]; then
    text="$text
Parameters: $*"
fi
if command -v notify-send >/dev/null 2>&1; then
    notify-send "Veltrane demo disc" "$text"
elif command -v xmessage >/dev/null 2>&1; then
    xmessage -center "$text"
fi
echo "$text"
"""


AUTHOR_WORDS = """Welcome to the Veltrane demo disc!

Everything on this disc was made by us for it: the pictures, the tunes, three little programs and these words. Choose a section or an item in the tree on the left: its description appears here, and its screenshots on the second tab. The toolbar below opens, runs, installs and copies what you chose; "options" shows the settings, the disc's author and its version history.

Добро пожаловать! Всё на этом диске сделано нами: картинки, мелодии, маленькие программы и эти слова. Выберите раздел или пункт в дереве слева."""

HISTORY = """Veltrane demo disc: version history

1.3
  * The copy rules of Tide Notes put its documents into a folder of their own.
  * Wave Calc copies its whole folder.
  * New cursors: a shimmering arrow and a turning wheel while the disc is busy.

1.2
  * Section music: short tunes for "Programs" and for the tour.
  * The photo gallery shows a JPEG, a PNG and a GIF picture.

1.1
  * The "Документы" section: a guide, the news, photos and the folder itself.
  * The splash picture takes the shape of the disc's card.

1.0
  * First disc: Tide Notes, Wave Calc and Harbor Player.

Версия 1.3: все картинки, мелодии и тексты по-прежнему сделаны нами."""

PARAMS = """autorun [DISC FOLDER] [options]

nosplash - start without the splash picture
noanimcur - use the standard mouse pointers
nobackmusic - no intro or section music
htmfile - open the disc's index.htm and end
filename=PATH - load another structure file (write ? for a blank, end the path with ;)
loadstruct PATH - the same
-? or /? - show this list"""

NOTES_README = """Tide Notes 1.0 - read me

Tide Notes is a small text editor for notes, lists and letters. On this disc it is a stand-in: its
setup installs nothing and the program only says hello. It is here to show what a disc item can do:

  * "Install Tide Notes" starts its setup program.
  * "Open this file in Tide Notes" starts the program with a file of the disc.
  * "Read the notes" shows this text in the disc's own reader.
  * "Copy to the hard disk and start" copies the program first, then starts the copy.

The copy button copies the program and its documents into a folder you choose.

Tide Notes - небольшой редактор заметок. На этом диске он только показывает, что умеет пункт меню."""

NOTES_MANUAL = """Tide Notes: manual

Open a file with File > Open, write, and save it with File > Save.
Find text with Edit > Find; Next jumps to the next place, Close ends the search.
Settings: word wrap, line numbers, a dark theme and saving every minute."""

NOTES_KEYS = """Tide Notes: keys

Ctrl+N  new note
Ctrl+O  open
Ctrl+S  save
Ctrl+F  find
F3      find next
Esc     close the find bar"""

CALC_README = """Wave Calc 1.0

A calculator with a memory and a history tape. On the demo disc it is a stand-in program.
The copy button copies this whole folder to your disk."""

WHATS_NEW = """What's new on the demo disc

This item has no description of its own, so the disc shows this text file in its place. The same
file opens in the reader window with the open button.

  * Three sections: "Programs", "Документы" and a section without a name, whose items stand at the
    top of the tree: the welcome tour and the disc's web page.
  * Section music for "Programs" and for the tour; "Документы" plays the intro music.
  * A photo gallery in three picture formats.
  * Animated cursors (you can switch them off in "options").

Новое на диске: разделы, музыка, галерея и анимированные курсоры."""


def html_page(title, body):
    return f"""<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>{title}</title>
<style>
  body {{ background: #0d2139; color: #eaf5f6; font-family: sans-serif; max-width: 44em; margin: 2em auto;
         padding: 0 1em; line-height: 1.5; }}
  h1, h2 {{ color: #acefe8; }}
  a {{ color: #ffc668; }}
  code {{ background: #163654; padding: 0 .3em; border-radius: 3px; }}
  .card {{ background: #163654; border: 1px solid #24a0a2; border-radius: 10px; padding: .5em 1.2em; }}
</style>
</head>
<body>
{body}
</body>
</html>
"""


INDEX_HTM = html_page("Veltrane demo disc", """<h1>Veltrane demo disc</h1>
<p class="card">Made by us: every picture, tune, program and text on this disc was drawn, generated or
written for it.</p>
<h2>What is on the disc</h2>
<ul>
  <li><b>Programs</b>: Tide Notes (an item with four actions and copy rules), Wave Calc and Harbor
    Player (music).</li>
  <li><b>Документы</b>: a guide that opens in your browser, a text file, a photo gallery and the
    section's folder.</li>
  <li><b>Welcome tour</b>: how the window works, in three screenshots.</li>
</ul>
<h2>Starting the disc</h2>
<p>Start <code>autorun</code> in the disc's root folder. Its options are listed in
<code>Shell/params.txt</code>; <code>autorun htmfile</code> opens this page.</p>
""")

GUIDE_HTML = html_page("Demo disc guide", """<h1>Guide to the demo disc</h1>
<h2>The window</h2>
<ol>
  <li>The <b>tree</b> on the left lists the sections and their items. A section with a description
    has an "about..." entry.</li>
  <li>The <b>title</b> names what you chose.</li>
  <li>The <b>text area</b> shows its description; the "Screenshots" tab shows its pictures. Click a
    picture to see it large.</li>
  <li>The <b>toolbar</b>: play music, copy to your disk, install or run, open, the item's folder, the
    intro, and a letter to the disc's author.</li>
  <li><b>options</b> shows the settings (music, animated cursors), the author, the program and the
    disc's version history; <b>exit</b> closes the disc.</li>
</ol>
<h2>Keys</h2>
<p>Enter or a double click in the tree runs the chosen item, like the install button.</p>
<h2>Руководство</h2>
<p>Выберите пункт в дереве слева и нажмите кнопку на панели инструментов.</p>
""")

AUTORUN_INF = """[autorun]
open=autorun.exe
icon=autorun.ico
label=Veltrane demo"""

SHELL_INI = """; Design settings of the Veltrane demo disc. Every key is written out, also where it keeps the
; value the program would take without it.

[Options]
ProjectName=veltrane.vlp
Version=history.txt
IntroMusic=intro.wav
Volume=-1
AutoPlayback=0
ShowStandardTitle=0
ShowAboutSection=1
IntroIfNoSMusic=1
BtnOpacity=1
TransparentText=1
TextFontName=Tahoma
TextFontStyle=
TextFontSize=10

[Path]
Images=Images
BtnImg=Btn
Cursors=Cursor

[Images]
Splash=logo.png
Title=title.bmp
AppIcon=appicon.ico
CloseBtn=closebtn.gif
CloseBtn_HighLight=closebtn_light.gif
MinimizeBtn=minbtn.gif
MinimizeBtn_HighLight=minbtn_light.gif
TabImage=tab.bmp
FocusedTabImage=tab_focused.bmp
Wallpaper=wallpaper.jpg
OptionsScreen=back.gif

[Cursors]
crDefault=arrow.ani
crPen=pen.cur
crHandPoint=hpoint.cur
crHelp=help.cur
crIBeam=ibeam.cur
crBusy=busy.ani

[Copy]
InsertMode=2

[Splash]
SplashInfo=1
Transparent=1
ShowName=1
ShowCompany=1
ShowMail=1
ShowWWW=1

[Colors]
Windows=#5E9FB0
Text=#EAF5F6
TextFont=#10283C
Tree=#DDEEF1

[Buttons]
OptionsBtn_Hint=Settings, the disc's author and its version history
ExitBtn_Hint=Close the demo disc
OptionsBtn_TxtColor=#9FE3DD
OptionsBtn_OnFocusTxtColor=#FFFFFF
ExitBtn_TxtColor=#9FE3DD
ExitBtn_OnFocusTxtColor=#FFD27A
OptionsBtn_Transparent=1
ExitBtn_Transparent=1"""

CONTROLS_INI = """; Control properties of the demo disc: a few touches beyond shell.ini.

; The title over the text area stands on the dark wallpaper.
[TitleLabel]
Caption=Welcome aboard
Font.Color=#DDF6F3

[ProjectTree]
RoundedCornersValue=12
Font.Color=#10283C

[Btn7]
Hint=Open

[Btn8]
Hint=Install or start

; The splash's author lines, light on its dark card.
[DiskAuthorL]
Font.Color=#FFD27A

[NameL]
Font.Color=#DDF6F3

[CompanyL]
Font.Color=#DDF6F3

[MailL]
Font.Color=#9FE3DD

[WWWL]
Font.Color=#9FE3DD"""


# --------------------------------------------------------------------------------------------------
# The project


def crlf(text):
    return text.strip("\n").replace("\n", "\r\n")


def step(kind, obj="", otype="otFile", **more):
    s = {"ShellActionType": kind, "OpenObject": obj, "ObjectType": otype}
    s.update(more)
    return s


def message(text, icon=64, icon_type="itSystemIcon", name="Message"):
    return {"ActionName": name, "ShellActionType": "atShowMessage",
            "Msg": {"IconIndex": icon, "IconType": icon_type, "Text": crlf(text)}}


def action(description, steps, image=-1):
    return {"Description": description, "ImageIndex": image, "ShellActions": steps}


def shots(*names):
    return [{"FileName": n} for n in names]


def project():
    notes = "Programs\\Notes\\"
    calc = "Programs\\Calc\\"
    player = "Programs\\Player\\"
    return {
        "Title": "Veltrane demo disc",
        "Folder": "D:\\Projects\\Demo disc\\",
        "Creator": {
            "Name": "The demo team",
            "Company": "Made by us",
            "Email": "demo@example.org",
            "WWW": "https://example.org/demo/",
            "AuthorWords": crlf(AUTHOR_WORDS),
        },
        "SplashScreen": {
            "ImageFileName": "Shell\\Images\\logo.png",
            "ShowTime": 2,
            "InfoLeft": 5,
            "InfoTop": 170,
            "ShowName": True,
            "ShowCompany": True,
            "ShowMail": True,
            "ShowWebpage": True,
        },
        "Pictures": [{"Name": name, "CategoryName": "Demo", "Icon": {"File": "icons/%s.ico" % name}}
                     for name in PICTURES],
        "Sections": [
            {
                "Name": "Programs",
                "Folder": "Programs\\",
                "ImageDefault": PIC["folder"],
                "ImageSelected": PIC["folder_open"],
                "WallpaperFile": "Shell\\Wallpapers\\programs.jpg",
                "BackMusicFile": "Shell\\Music\\programs.ogg",
                "Description": crlf("""Three small programs, each showing another side of a disc item.

Tide Notes has four actions (the install button offers them in a list), copy rules and three screenshots. Wave Calc starts at once and copies its whole folder. Harbor Player plays a tune of the disc.

The programs are stand-ins: they install nothing and change nothing."""),
                "Screenshots": shots("Programs\\Shots\\overview1.png", "Programs\\Shots\\overview2.png"),
                "SItems": [
                    {
                        "Name": "Tide Notes",
                        "Folder": notes,
                        "ImageDefault": PIC["notes"],
                        "ImageSelected": PIC["notes"],
                        "Description": crlf("""A small editor for notes, lists and letters.

Install it, start it with a file of the disc, read its notes in the disc's reader, or copy it to your disk and start the copy. The copy button copies the program, its notes and its documents into a folder you choose.

Небольшой редактор заметок."""),
                        "Screenshots": shots(notes + "Shots\\notes1.png", notes + "Shots\\notes2.png",
                                             notes + "Shots\\notes3.png"),
                        "ItemActions": [
                            action("Install Tide Notes",
                                   [step("atInstall", notes + "setup.exe", "otExecutable", ActionName="Setup")],
                                   PIC["install"]),
                            action("Open this file in Tide Notes",
                                   [step("atExecute", notes + "readme.txt", "otText", ActionName="Open in editor",
                                         AppFile=notes + "notes.exe", AppParams="--open [$filename] --wrap",
                                         CheckAssociation=False)],
                                   PIC["notes"]),
                            action("Read the notes",
                                   [step("atOpenObject", notes + "readme.txt", "otText", ActionName="Read me")],
                                   PIC["text"]),
                            action("Copy to the hard disk and start",
                                   [step("atPrecopyFiles", "...\\notes.exe", "otExecutable", ActionName="Copy first",
                                         PrecopyFiles={
                                             "Enabled": True,
                                             "DefaultFolder": "C:\\Demo\\Tide Notes\\",
                                             "Destinations": ["..."],
                                             "Items": [
                                                 {"CopyingObject": notes + "notes.exe", "Destination": "..."},
                                                 {"CopyingObject": notes + "readme.txt", "Destination": "..."},
                                             ],
                                         })],
                                   PIC["copy"]),
                        ],
                        "CopyRules": {
                            "Enabled": True,
                            "DefaultFolder": "C:\\Demo\\Tide Notes\\",
                            "Destinations": ["...", "...\\Docs"],
                            "Items": [
                                {"CopyingObject": notes + "notes.exe", "Destination": "..."},
                                {"CopyingObject": notes + "readme.txt", "Destination": "..."},
                                {"CopyingObject": notes + "docs\\*.*", "Destination": "...\\Docs"},
                                {"Enabled": False, "CopyingObject": notes + "setup.exe", "Destination": "..."},
                            ],
                        },
                    },
                    {
                        "Name": "Wave Calc",
                        "Folder": calc,
                        "ImageDefault": PIC["calc"],
                        "ImageSelected": PIC["calc"],
                        "Description": crlf("""A calculator with a memory and a history tape.

It has one action, so the install button starts it at once. The copy button copies its whole folder."""),
                        "Screenshots": shots(calc + "Shots\\calc1.png", calc + "Shots\\calc2.png"),
                        "ItemActions": [
                            action("Start Wave Calc",
                                   [step("atExecute", calc + "calc.exe", "otExecutable", ActionName="Start")]),
                        ],
                        "CopyRules": {
                            "Enabled": True,
                            "Destinations": ["..."],
                            "Items": [{"CopyingObject": calc + "*.*", "Destination": "..."}],
                        },
                    },
                    {
                        "Name": "Harbor Player",
                        "Folder": player,
                        "ImageDefault": PIC["player"],
                        "ImageSelected": PIC["player"],
                        "Description": crlf("""A music player, and a six-second tune of the disc.

The play button plays the tune through the disc itself; the player program and your own music program are the other two actions."""),
                        "Screenshots": shots(player + "Shots\\player1.png", player + "Shots\\player2.png"),
                        "ItemActions": [
                            action("Listen to the tune",
                                   [step("atOpenObject", player + "harbor.ogg", "otMusic", ActionName="Listen")],
                                   PIC["player"]),
                            action("Play it in Harbor Player",
                                   [step("atExecute", player + "harbor.ogg", "otMusic", ActionName="Player",
                                         AppFile=player + "player.exe", AppParams="--play %1",
                                         CheckAssociation=False)]),
                            action("Open it with your music program",
                                   [step("atOpenObject", player + "harbor.ogg", "otFile", ActionName="Open")]),
                        ],
                    },
                ],
            },
            {
                "Name": "Документы",
                "Folder": "Docs\\",
                "ImageSelected": PIC["book"],
                "WallpaperFile": "Shell\\Wallpapers\\docs.jpg",
                "Description": crlf("""Documents of the disc: a guide for your web browser, the news as a text file, a photo gallery, and the section's folder.

This section has no music of its own, so the intro music plays.

Документы диска: руководство, новости, фотографии и папка раздела."""),
                "SItems": [
                    {
                        "Name": "Руководство",
                        "Folder": "Docs\\Guide\\",
                        "ImageDefault": PIC["book"],
                        "ImageSelected": PIC["book"],
                        "Description": crlf("""The guide to the disc's window, in your web browser.

A note comes first, then the guide opens. The second action opens the guide's folder.

Руководство откроется в браузере."""),
                        "ItemActions": [
                            action("Open the guide",
                                   [message("The guide opens in your web browser.\nРуководство откроется в браузере.",
                                            64, "itProjectIcon", "Note"),
                                    step("atOpenObject", "Docs\\Guide\\guide.html", "otFile", ActionName="Guide")],
                                   PIC["web"]),
                            action("Open the guide's folder",
                                   [step("atOpenObject", "Docs\\Guide\\", "otFolder", ActionName="Folder")],
                                   PIC["folder"]),
                        ],
                    },
                    {
                        "Name": "What's new",
                        "Folder": "Docs\\News\\",
                        "ImageDefault": PIC["text"],
                        "ImageSelected": PIC["text"],
                        "ItemActions": [
                            action("Read the news",
                                   [step("atOpenObject", "Docs\\News\\whatsnew.txt", "otText", ActionName="News")]),
                        ],
                    },
                    {
                        "Name": "Photo gallery",
                        "Folder": "Docs\\Photos\\",
                        "ImageDefault": PIC["photos"],
                        "ImageSelected": PIC["photos"],
                        "ItemActions": [
                            action("Show the photos",
                                   [step("atOpenObject", "Docs\\Photos\\sea.jpg", "otImage", ActionName="Sea"),
                                    step("atOpenObject", "Docs\\Photos\\hills.png", "otImage", ActionName="Hills"),
                                    step("atOpenObject", "Docs\\Photos\\moon.gif", "otImage", ActionName="Moon")]),
                        ],
                    },
                    {
                        "Name": "The section's folder",
                        "Folder": "Docs\\",
                        "ImageDefault": PIC["folder"],
                        "ImageSelected": PIC["folder_open"],
                        "Description": crlf("""Opens the folder of this section in your file manager."""),
                        "ItemActions": [
                            action("Open the folder",
                                   [step("atOpenObject", "Docs\\", "otFolder", ActionName="Folder")]),
                        ],
                    },
                ],
            },
            {
                "Name": "",
                "Folder": "Tour\\",
                "ImageDefault": PIC["tour"],
                "WallpaperFile": "Shell\\Wallpapers\\tour.jpg",
                "BackMusicFile": "Shell\\Music\\tour.ogg",
                "Description": crlf("""A section without a name: its items stand at the top of the tree."""),
                "SItems": [
                    {
                        "Name": "Welcome tour",
                        "Folder": "Tour\\",
                        "ImageDefault": PIC["tour"],
                        "ImageSelected": PIC["info"],
                        "Description": crlf("""How the disc's window works, in three screenshots (see the second tab).

The tree on the left lists the sections and items; the text area shows what you chose; the toolbar runs it. "options" holds the settings, the author and the version history; "exit" closes the disc.

This item belongs to a section without a name, so it has the section's own wallpaper and music."""),
                        "Screenshots": shots("Tour\\Shots\\tour1.png", "Tour\\Shots\\tour2.png",
                                             "Tour\\Shots\\tour3.png"),
                        "ItemActions": [
                            action("Say hello",
                                   [message("Hello from the demo team!\nПривет от авторов диска!", 64)],
                                   PIC["info"]),
                            action("Open the disc's web page",
                                   [step("atOpenObject", "index.htm", "otFile", ActionName="Web page")],
                                   PIC["web"]),
                        ],
                    },
                    {
                        "Name": "The disc's web page",
                        "Folder": "Tour\\",
                        "ImageDefault": PIC["web"],
                        "ImageSelected": PIC["web"],
                        "Description": crlf("""The disc's web page, index.htm in its root folder, opens in your web browser. It is also what "autorun htmfile" opens."""),
                        "ItemActions": [
                            action("Open the web page",
                                   [step("atOpenObject", "index.htm", "otFile", ActionName="Web page")]),
                        ],
                    },
                ],
            },
        ],
    }


# --------------------------------------------------------------------------------------------------
# What the disc and its skin refer to


def read_ini(path):
    sections, cur = {}, None
    with open(path, encoding="cp1251") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith(";"):
                continue
            if line.startswith("["):
                cur = sections.setdefault(line[1:line.index("]")].lower(), {})
            elif "=" in line and cur is not None:
                k, v = line.split("=", 1)
                cur.setdefault(k.strip().lower(), v.strip())
    return sections


def referenced_files(proj, ini):
    """Paths (relative to the disc, with slashes) of every file or folder the project and the skin name."""
    refs = []

    def add(p, kind="file"):
        if p:
            refs.append((p.replace("\\", "/"), kind))

    add(proj["SplashScreen"]["ImageFileName"])
    for sec in proj["Sections"]:
        add(sec.get("Folder"), "folder")
        add(sec.get("WallpaperFile"))
        add(sec.get("BackMusicFile"))
        for s in sec.get("Screenshots", []):
            add(s["FileName"])
        for item in sec["SItems"]:
            add(item.get("Folder"), "folder")
            for s in item.get("Screenshots", []):
                add(s["FileName"])
            rules = [item.get("CopyRules", {})]
            for act in item.get("ItemActions", []):
                for st in act["ShellActions"]:
                    kind = st["ShellActionType"]
                    if kind == "atShowMessage":
                        continue
                    if kind == "atPrecopyFiles":
                        rules.append(st["PrecopyFiles"])
                        continue
                    add(st["OpenObject"], "folder" if st.get("ObjectType") == "otFolder" else "file")
                    if kind in ("atExecute", "atInstall") and not st.get("CheckAssociation", True):
                        add(st.get("AppFile"))
            for r in rules:
                for rule in r.get("Items", []):
                    obj = rule["CopyingObject"]
                    if obj.endswith("*.*"):
                        add(obj[:-3], "folder")
                    else:
                        add(obj)
    shell = "Shell/"
    images = shell + ini["path"]["images"] + "/"
    buttons = shell + ini["path"]["btnimg"] + "/"
    cursors = shell + ini["path"]["cursors"] + "/"
    for key in ("splash", "title", "appicon", "wallpaper", "optionsscreen", "tabimage", "focusedtabimage"):
        add(images + ini["images"][key])
    for key in ("closebtn", "closebtn_highlight", "minimizebtn", "minimizebtn_highlight"):
        add(buttons + ini["images"][key])
    for fixed in ("toolbar.bmp", "text.gif", "logo.bmp", "copy.ico"):
        add(images + fixed)
    for name, _ in TOOL_BUTTONS:
        add(buttons + name + ".bmp")
        add(buttons + name + "0.bmp")
    for fixed in ("settings.bmp", "close.bmp"):
        add(buttons + fixed)
    for key in ("crdefault", "crpen", "crhandpoint", "crhelp", "cribeam", "crbusy"):
        add(cursors + ini["cursors"][key])
    add(shell + "Music/" + ini["options"]["intromusic"])
    add(shell + ini["options"]["version"])
    for fixed in ("shell.ini", "controls.ini", "params.txt"):
        add(shell + fixed)
    add("index.htm")
    return refs


def check():
    with open(PROJECT_JSON, encoding="utf-8") as f:
        proj = json.load(f)
    ini = read_ini(os.path.join(DISC, "Shell", "shell.ini"))
    missing = []
    refs = referenced_files(proj, ini)
    for rel, kind in refs:
        p = os.path.join(DISC, rel)
        ok = os.path.isdir(p) if kind == "folder" else os.path.isfile(p)
        if not ok:
            missing.append("%s (%s)" % (rel, kind))
    for pic in proj["Pictures"]:
        if not os.path.isfile(os.path.join(HERE, pic["Icon"]["File"])):
            missing.append(pic["Icon"]["File"])
    if missing:
        print("missing:\n  " + "\n  ".join(missing))
        return 1
    print("all %d files and folders the project and the skin name are on the disc" % len(refs))
    return 0


# --------------------------------------------------------------------------------------------------


def main():
    if "--check" in sys.argv[1:]:
        return check()
    for tool in ("cjpeg", "oggenc"):
        if not shutil.which(tool):
            sys.exit("make_demo.py: %s is missing (Debian: apt-get install libjpeg-turbo-progs vorbis-tools)" % tool)
    shutil.rmtree(DISC, ignore_errors=True)
    shutil.rmtree(ICONS, ignore_errors=True)

    def d(*parts):
        return os.path.join(DISC, *parts)

    print("skin")
    write(d("Shell", "Images", "title.bmp"), bmp24(title_bar()))
    write(d("Shell", "Images", "toolbar.bmp"), bmp24(toolbar()))
    write(d("Shell", "Images", "text.gif"), gif(text_panel(), dither=3.0, transparent_below=0.3))
    write(d("Shell", "Images", "back.gif"), gif(about_back(), dither=3.0))
    write(d("Shell", "Images", "logo.bmp"), bmp24(about_logo()))
    write(d("Shell", "Images", "logo.png"), png(splash()))
    write(d("Shell", "Images", "tab.bmp"), bmp24(tab_picture(False)))
    write(d("Shell", "Images", "tab_focused.bmp"), bmp24(tab_picture(True)))
    write(d("Shell", "Images", "appicon.ico"), ico([icon_art("disc", 16)]))
    write(d("Shell", "Images", "copy.ico"), ico([icon_art("copy", 16), icon_art("copy", 32)]))
    write(d("autorun.ico"), ico([icon_art("disc", 16), icon_art("disc", 32), icon_art("disc", 48)]))
    jpeg(wallpaper("WELCOME", TEAL_D), d("Shell", "Images", "wallpaper.jpg"))
    jpeg(wallpaper("PROGRAMS", (20, 120, 128)), d("Shell", "Wallpapers", "programs.jpg"))
    jpeg(wallpaper("DOCUMENTS", (40, 70, 140)), d("Shell", "Wallpapers", "docs.jpg"))
    jpeg(wallpaper("TOUR", (30, 128, 100)), d("Shell", "Wallpapers", "tour.jpg"))

    print("buttons")
    for name, _ in TOOL_BUTTONS:
        write(d("Shell", "Btn", name + ".bmp"), bmp24(tool_button(name, True)))
        write(d("Shell", "Btn", name + "0.bmp"), bmp24(tool_button(name, False)))
    write(d("Shell", "Btn", "settings.bmp"), bmp24(text_button()))
    write(d("Shell", "Btn", "close.bmp"), bmp24(text_button()))
    for kind, base in (("min", "minbtn"), ("close", "closebtn")):
        write(d("Shell", "Btn", base + ".gif"), gif(caption_button(kind, False), transparent_below=0.35))
        write(d("Shell", "Btn", base + "_light.gif"), gif(caption_button(kind, True), transparent_below=0.35))

    print("cursors")
    shine = [None, -4, 4, 12, 20, 28, 36]
    write(d("Shell", "Cursor", "arrow.ani"),
          ani([cursor_arrow(s) for s in shine], (3, 2), [90, 4, 4, 4, 4, 4, 4], title="Shimmering arrow"))
    write(d("Shell", "Cursor", "busy.ani"), ani([cursor_busy(k) for k in range(8)], (16, 16), 5, title="Busy wheel"))
    write(d("Shell", "Cursor", "hpoint.cur"), ico([cursor_hand()], [(12, 2)]))
    write(d("Shell", "Cursor", "pen.cur"), ico([cursor_pen()], [(3, 29)]))
    write(d("Shell", "Cursor", "ibeam.cur"), ico([cursor_ibeam()], [(16, 16)]))
    write(d("Shell", "Cursor", "help.cur"), ico([cursor_help()], [(3, 2)]))

    print("music")
    write(d("Shell", "Music", "intro.wav"), wav(tune_intro(), RATE))
    ogg(tune_loop(57, [0, 3, 5, 7, 10], 3, "pluck"), RATE, d("Shell", "Music", "programs.ogg"), "Programs")
    ogg(tune_loop(62, [0, 2, 4, 7, 9], 8, "bell"), RATE, d("Shell", "Music", "tour.ogg"), "Tour")
    ogg(tune_harbor(), RATE, d("Programs", "Player", "harbor.ogg"), "Harbor tune")

    print("screenshots and photos")
    for k in (1, 2, 3):
        write(d("Programs", "Notes", "Shots", "notes%d.png" % k), png(shot_notes(k)))
        write(d("Tour", "Shots", "tour%d.png" % k), png(shot_tour(k)))
    for k in (1, 2):
        write(d("Programs", "Calc", "Shots", "calc%d.png" % k), png(shot_calc(k)))
        write(d("Programs", "Player", "Shots", "player%d.png" % k), png(shot_player(k)))
        write(d("Programs", "Shots", "overview%d.png" % k), png(shot_overview(k)))
    jpeg(photo_sea(), d("Docs", "Photos", "sea.jpg"), quality=82)
    write(d("Docs", "Photos", "hills.png"), png(photo_hills()))
    write(d("Docs", "Photos", "moon.gif"), gif(photo_moon(), dither=6.0))

    print("texts and programs")
    text_file(d("Shell", "shell.ini"), SHELL_INI)
    text_file(d("Shell", "controls.ini"), CONTROLS_INI)
    text_file(d("Shell", "history.txt"), HISTORY)
    text_file(d("Shell", "params.txt"), PARAMS)
    text_file(d("autorun.inf"), AUTORUN_INF)
    write(d("index.htm"), INDEX_HTM.encode("utf-8"))
    write(d("Docs", "Guide", "guide.html"), GUIDE_HTML.encode("utf-8"))
    text_file(d("Docs", "News", "whatsnew.txt"), WHATS_NEW)
    text_file(d("Programs", "Notes", "readme.txt"), NOTES_README)
    text_file(d("Programs", "Notes", "docs", "manual.txt"), NOTES_MANUAL)
    text_file(d("Programs", "Notes", "docs", "keys.txt"), NOTES_KEYS)
    text_file(d("Programs", "Calc", "readme.txt"), CALC_README)
    programs = [("Programs/Notes/setup.exe", "Tide Notes setup", "nothing was installed."),
                ("Programs/Notes/notes.exe", "Tide Notes", "the editor would open now."),
                ("Programs/Calc/calc.exe", "Wave Calc", "the calculator would open now."),
                ("Programs/Player/player.exe", "Harbor Player", "the player would play the file now.")]
    for rel, name, doing in programs:
        path = d(*rel.split("/"))
        write(path, stand_in(name, doing).encode("ascii"))
        os.chmod(path, 0o755)

    print("project")
    for name in PICTURES:
        write(os.path.join(ICONS, name + ".ico"), ico([icon_art(name, 16), icon_art(name, 32)]))
    with open(PROJECT_JSON, "w", encoding="utf-8", newline="\n") as f:
        json.dump(project(), f, ensure_ascii=False, indent=2)
        f.write("\n")
    return check()


if __name__ == "__main__":
    sys.exit(main())
