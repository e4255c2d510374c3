#!/usr/bin/env python3
"""Draws setup.exe's artwork and writes it beside this script.

  checks.bmp   (142) 48 x 16: three 16 x 16 tree images, white is transparent:
                     empty box, ticked box, ticked box greyed (required by another component)
  header.bmp   (147) 38 x 36: the packed-box emblem of the interior pages' header band
  side.bmp     (149) 182 x 375: the tall panel of the welcome and last pages
  engrave.cur  (145) 32 x 32: a pointing hand over the engraved product name
  setup.ico    (107) 16 x 16 and 32 x 32: the packed box

Standard library only, so the art can be rebuilt on any machine with python3:
    python3 setup/art/make_art.py
"""
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))
import qp_art  # noqa: E402


class Canvas:
    """An RGB raster with a few drawing primitives (anti-aliased where it shows)."""

    def __init__(self, w, h, fill=(255, 255, 255), clear=False):
        self.w, self.h = w, h
        self.px = [[fill for _ in range(w)] for _ in range(h)]
        # Coverage, 0..1: a clear canvas starts empty so that icons get soft alpha edges.
        self.alpha = [[0.0 if clear else 1.0 for _ in range(w)] for _ in range(h)]

    def set(self, x, y, c, a=1.0):
        if not (0 <= x < self.w and 0 <= y < self.h) or a <= 0:
            return
        a = min(1.0, a)
        old_a = self.alpha[y][x]
        out_a = a + old_a * (1 - a)
        o = self.px[y][x]
        self.px[y][x] = tuple(int(round((c[i] * a + o[i] * old_a * (1 - a)) / out_a)) for i in range(3))
        self.alpha[y][x] = out_a

    # The ends of a rectangle are the pixels after it.
    def rect(self, x0, y0, x1, y1, c):
        qp_art.rect(self.set, x0, y0, x1, y1, c, inclusive=False)

    def frame(self, x0, y0, x1, y1, c):
        qp_art.frame(self.set, x0, y0, x1, y1, c, inclusive=False)

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        for y in range(y0, y1):
            t = (y - y0) / max(1, y1 - y0 - 1)
            c = tuple(int(round(top[i] + (bottom[i] - top[i]) * t)) for i in range(3))
            for x in range(x0, x1):
                self.set(x, y, c)

    def line(self, x0, y0, x1, y1, c, width=1.0):
        """Anti-aliased thick line by distance to the segment."""
        minx, maxx = int(min(x0, x1) - width - 1), int(max(x0, x1) + width + 2)
        miny, maxy = int(min(y0, y1) - width - 1), int(max(y0, y1) + width + 2)
        dx, dy = x1 - x0, y1 - y0
        ll = dx * dx + dy * dy or 1.0
        for y in range(miny, maxy):
            for x in range(minx, maxx):
                px, py = x + 0.5, y + 0.5
                t = max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / ll))
                d = math.hypot(px - (x0 + t * dx), py - (y0 + t * dy))
                a = max(0.0, min(1.0, width / 2 + 0.5 - d))
                self.set(x, y, c, a)

    def polygon(self, pts, c):
        """Filled polygon with 4x4 supersampled edges."""
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            for x in range(int(min(xs)), int(max(xs)) + 1):
                inside = 0
                for sy in range(4):
                    for sx in range(4):
                        if _inside(pts, x + (sx + 0.5) / 4, y + (sy + 0.5) / 4):
                            inside += 1
                if inside:
                    self.set(x, y, c, inside / 16)


def _inside(pts, x, y):
    n, res = len(pts), False
    j = n - 1
    for i in range(n):
        xi, yi = pts[i]
        xj, yj = pts[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            res = not res
        j = i
    return res


def shade(c, f):
    return tuple(max(0, min(255, int(v * f))) for v in c)


def draw_box(cv, ox, oy, s, body=(214, 160, 72)):
    """An open carton seen from the front-left, scaled by `s` (1.0 = 32 pixels)."""
    P = lambda x, y: (ox + x * s, oy + y * s)
    front = [P(3, 13), P(18, 18), P(18, 30), P(3, 25)]
    side = [P(18, 18), P(29, 12), P(29, 24), P(18, 30)]
    top = [P(3, 13), P(14, 8), P(29, 12), P(18, 18)]
    cv.polygon(top, shade(body, 0.55))
    cv.polygon(front, body)
    cv.polygon(side, shade(body, 0.78))
    # Flaps opening upward, with a sheet of paper and a quill sticking out.
    cv.polygon([P(9, 4), P(16, 3), P(17, 14), P(10, 15)], (250, 250, 244))
    cv.line(*P(11, 7), *P(15, 6.5), (150, 150, 150), max(0.6, s * 0.7))
    cv.line(*P(11, 10), *P(15, 9.5), (150, 150, 150), max(0.6, s * 0.7))
    cv.line(*P(22, 1), *P(14, 13), (40, 40, 90), max(1.0, s * 1.4))
    cv.polygon([P(22, 1), P(26, 0), P(20, 8)], (60, 90, 170))
    cv.polygon([P(3, 13), P(-1, 9), P(10, 5), P(14, 8)], shade(body, 1.12))
    cv.polygon([P(29, 12), P(31, 6), P(21, 4), P(14, 8)], shade(body, 0.92))
    edge = shade(body, 0.4)
    for a, b in ((front[0], front[1]), (front[1], front[2]), (front[2], front[3]),
                 (front[3], front[0]), (side[1], side[2]), (side[2], side[3])):
        cv.line(a[0], a[1], b[0], b[1], edge, max(0.7, s * 0.9))
    cv.line(*P(10.5, 15.5), *P(10.5, 27.5), shade(body, 0.6), max(0.7, s * 1.5))


def write_bmp(cv, path):
    qp_art.write_bmp24(path, cv.w, cv.h, lambda x, y: cv.px[y][x])


def write_bmp_rle8(cv, path):
    """An 8-bit run-length encoded BMP: the large side panel is mostly long runs of one colour,
    so it costs a tenth of its 24-bit size inside setup.exe."""
    counts = {}
    for row in cv.px:
        for c in row:
            counts[c] = counts.get(c, 0) + 1
    if len(counts) <= 256:
        palette = list(counts)
    else:
        # Buckets of 4 levels per channel, the most used 256 of them, each at its mean colour.
        buckets = {}
        for c, n in counts.items():
            key = (c[0] >> 2, c[1] >> 2, c[2] >> 2)
            b = buckets.setdefault(key, [0, 0, 0, 0])
            for i in range(3):
                b[i] += c[i] * n
            b[3] += n
        best = sorted(buckets.values(), key=lambda b: -b[3])[:256]
        palette = [tuple(int(round(b[i] / b[3])) for i in range(3)) for b in best]
    index = {}

    def nearest(c):
        if c not in index:
            index[c] = min(range(len(palette)),
                           key=lambda i: sum((palette[i][k] - c[k]) ** 2 for k in range(3)))
        return index[c]

    data = bytearray()
    for y in range(cv.h - 1, -1, -1):
        row = [nearest(c) for c in cv.px[y]]
        x = 0
        while x < len(row):
            run = 1
            while x + run < len(row) and run < 255 and row[x + run] == row[x]:
                run += 1
            data += bytes((run, row[x]))
            x += run
        data += b"\0\0"  # end of line
    data += b"\0\1"      # end of bitmap
    pal = bytearray()
    for r, g, b in palette + [(0, 0, 0)] * (256 - len(palette)):
        pal += bytes((b, g, r, 0))
    offset = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, cv.w, cv.h, 1, 8, 1, len(data), 2835, 2835, 256, 0)
    with open(path, "wb") as f:
        f.write(header + info + pal + data)


def dib_with_mask(cv, transparent):
    """A 32-bit icon/cursor image: XOR bitmap (BGRA) and AND mask, for .ico and .cur."""
    def bgra(x, y):
        r, g, b = cv.px[y][x]
        return (b, g, r, 0 if transparent(x, y) else int(round(cv.alpha[y][x] * 255)))
    return qp_art.icon_dib(cv.w, cv.h, bgra, transparent)


def write_icon_file(images, path, kind=1, hotspots=None):
    qp_art.write_icon_file(path, [(cv.w, cv.h, dib) for cv, dib in images], kind, hotspots)


def make_checks():
    cv = Canvas(48, 16)
    for i in range(3):
        ox = i * 16
        border = (128, 128, 128) if i == 2 else (33, 61, 112)
        cv.rect(ox + 2, 2, ox + 14, 14, (246, 246, 246) if i == 2 else (254, 254, 254))
        cv.vgradient(ox + 3, 3, ox + 13, 13, (236, 240, 248) if i < 2 else (226, 226, 226),
                     (252, 252, 254) if i < 2 else (240, 240, 240))
        cv.frame(ox + 2, 2, ox + 14, 14, border)
        if i >= 1:
            tick = (24, 120, 40) if i == 1 else (140, 140, 140)
            cv.line(ox + 4.5, 8.0, ox + 7.0, 10.8, tick, 1.8)
            cv.line(ox + 7.0, 10.8, ox + 11.8, 4.6, tick, 1.8)
    # White is the image list's transparent colour: keep pure white only outside the boxes.
    for y in range(16):
        for x in range(48):
            if cv.px[y][x] == (255, 255, 255) and 2 <= y < 14 and 2 <= x % 16 < 14:
                cv.px[y][x] = (254, 254, 254)
    write_bmp(cv, os.path.join(HERE, "checks.bmp"))


def make_header():
    cv = Canvas(38, 36)
    draw_box(cv, 3, 2, 1.0)
    write_bmp(cv, os.path.join(HERE, "header.bmp"))


def make_side():
    w, h = 182, 375
    cv = Canvas(w, h)
    cv.vgradient(0, 0, w, h, (0, 51, 153), (51, 102, 204))
    # Soft diagonal light bands.
    for k in range(-4, 10):
        x0 = k * 48
        cv.line(x0, h, x0 + 260, h - 520, (255, 255, 255), 14)
    for y in range(h):
        t = y / (h - 1)
        base = (int(0 + 51 * t), int(51 + 51 * t), int(153 + 51 * t))
        for x in range(w):
            c = cv.px[y][x]
            # Fold the light bands back to a faint sheen.
            cv.px[y][x] = tuple(int(base[i] + (c[i] - base[i]) * 0.10) for i in range(3))
    draw_box(cv, 27, 110, 4.0)
    # A thin bright rule on the right edge, where the page's white area begins.
    for y in range(h):
        cv.set(w - 1, y, (200, 215, 240))
        cv.set(w - 2, y, (120, 150, 210))
    write_bmp_rle8(cv, os.path.join(HERE, "side.bmp"))


def make_cursor():
    cv = Canvas(32, 32, (255, 0, 255))  # magenta marks the transparent part
    black, white = (0, 0, 0), (255, 255, 255)
    # A pointing hand: index finger up, hot spot at its tip (9, 1).
    finger = [(7, 1), (11, 1), (11, 12), (7, 12)]
    palm = [(3, 12), (21, 12), (21, 24), (18, 29), (7, 29), (3, 22)]
    for poly in (finger, palm):
        xs = [p[0] for p in poly]
        ys = [p[1] for p in poly]
        for y in range(min(ys), max(ys) + 1):
            for x in range(min(xs), max(xs) + 1):
                if _inside(poly, x + 0.5, y + 0.5):
                    cv.px[y][x] = white
    for x in (11, 15, 19):
        for y in range(13, 20):
            cv.px[y][x] = black
    # Outline every white pixel that touches the transparent area.
    outline = []
    for y in range(32):
        for x in range(32):
            if cv.px[y][x] == white:
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                    nx, ny = x + dx, y + dy
                    if not (0 <= nx < 32 and 0 <= ny < 32) or cv.px[ny][nx] == (255, 0, 255):
                        outline.append((x, y))
                        break
    for x, y in outline:
        cv.px[y][x] = black
    dib = dib_with_mask(cv, lambda x, y: cv.px[y][x] == (255, 0, 255))
    write_icon_file([(cv, dib)], os.path.join(HERE, "engrave.cur"), kind=2, hotspots=[(9, 1)])


def make_icon():
    images = []
    for size in (32, 16):
        cv = Canvas(size, size, (0, 0, 0), clear=True)
        draw_box(cv, 0, 0, size / 32.0)
        dib = dib_with_mask(cv, lambda x, y, cv=cv: cv.alpha[y][x] < 0.5)
        images.append((cv, dib))
    write_icon_file(images, os.path.join(HERE, "setup.ico"))


if __name__ == "__main__":
    make_checks()
    make_header()
    make_side()
    make_cursor()
    make_icon()
