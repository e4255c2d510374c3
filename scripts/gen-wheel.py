#!/usr/bin/env python3
"""Writes the picker's hue/saturation wheel (shadepick/art/wheel.bmp, 202 x 201, 24-bit).

Every pixel holds the colour that a click on it picks at full brightness: the hue and
saturation come from the panel's pick rule and the colour from its HSB-to-RGB rule, repeated
here operation for operation (Python floats are the same IEEE doubles as the C++ code).
Pixels beyond the wheel's rim are grey 192, which the panel swaps for the dialog face colour
when it loads the bitmap; no colour of the wheel itself has that value (its largest channel
is always 255).

    scripts/gen-wheel.py [output.bmp]
"""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import qp_art  # noqa: E402

WIDTH, HEIGHT = 202, 201
CENTRE, RADIUS = 100, 100
PI = 3.14159265358
BACKGROUND = (192, 192, 192)


def hsb_to_rgb(h, s, v):
    v = float(v)
    chroma = v * float(s) / 255.0
    m = v - chroma
    h = float(h)
    x = h / 60.0
    if h <= 60.0:
        r, g, b = v, m + chroma * x, m
    elif h > 300.0:
        r, g, b = v, m, m + chroma * (360.0 - h) / 60.0
    elif h < 120.0:
        r, g, b = m + chroma * (2.0 - x), v, m
    elif h < 180.0:
        r, g, b = m, v, m + chroma * (x - 2.0)
    elif h < 240.0:
        r, g, b = m, m + chroma * (4.0 - x), v
    else:
        r, g, b = m + chroma * (x - 4.0), m, v
    return int(r), int(g), int(b)


def pixel(px, py):
    dx = px - CENTRE
    dy = CENTRE - py
    dist = int(math.sqrt(float(dx) * dx + float(dy) * dy))
    if dist > RADIUS:
        return BACKGROUND
    h = 0
    if dx != 0 or dy != 0:
        h = int(math.atan2(float(dy), float(dx)) * 180.0 / PI)
        if h < 0:
            h += 360
    s = min(255, int(float(dist) * 255.0 / 100.0))
    return hsb_to_rgb(h, s, 255)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "shadepick", "art", "wheel.bmp")
    qp_art.write_bmp24(out, WIDTH, HEIGHT, pixel)


if __name__ == "__main__":
    main()
