#!/usr/bin/env python3
"""Draws the builder's toolbar, tab, tree and list images and its icons (our own art).

Run from this folder; writes toolbar.bmp (9 buttons of 16x15), tabs.bmp (6 images of 16x16),
nodes.bmp (tree node images, 16x16), files.bmp (file and folder, 16x16), regvalues.bmp
(registry value rows, 16x16), the start-up
pictures splash1.bmp and splash2.bmp (360x200) and the icons qpb.ico
and item0.ico .. item7.ico. Magenta is the transparent colour of the strips."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "scripts"))
import qp_art  # noqa: E402

KEY = (255, 0, 255)
BLACK, WHITE, GREY, DARK = (0, 0, 0), (255, 255, 255), (192, 192, 192), (96, 96, 96)
BLUE, NAVY, YELLOW, OCHRE = (40, 90, 200), (0, 40, 120), (250, 215, 80), (190, 140, 30)
GREEN, RED, TEAL, PAPER = (40, 150, 60), (200, 40, 40), (30, 140, 150), (250, 250, 240)


class Canvas:
    def __init__(self, w, h, fill=KEY):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    # The ends of a rectangle are its last pixels.
    def rect(self, x0, y0, x1, y1, c):
        qp_art.rect(self.put, x0, y0, x1, y1, c, inclusive=True)

    def frame(self, x0, y0, x1, y1, c):
        qp_art.frame(self.put, x0, y0, x1, y1, c, inclusive=True)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.put(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def blit(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                self.put(ox + x, oy + y, other.px[y][x])


def page(c, x=3, y=1):
    c.rect(x, y, x + 9, y + 12, PAPER); c.frame(x, y, x + 9, y + 12, DARK)
    c.rect(x + 7, y, x + 9, y + 2, KEY); c.line(x + 7, y, x + 9, y + 2, DARK)


def folder(c, fill=YELLOW, y=3):
    c.rect(1, y, 6, y + 1, fill); c.rect(1, y + 2, 14, y + 10, fill); c.frame(1, y + 2, 14, y + 10, OCHRE)
    c.line(1, y, 6, y, OCHRE)


def box(c, fill=BLUE):
    c.rect(2, 5, 13, 14, fill); c.frame(2, 5, 13, 14, NAVY)
    c.line(2, 5, 5, 2, NAVY); c.line(13, 5, 15, 2, NAVY); c.line(5, 2, 15, 2, NAVY)
    c.line(6, 8, 9, 8, WHITE)


def gear(c, fill=DARK):
    c.rect(5, 3, 10, 12, fill); c.rect(3, 5, 12, 10, fill)
    c.rect(6, 6, 9, 9, GREY)


def key(c):
    c.rect(2, 5, 6, 9, OCHRE); c.rect(3, 6, 5, 8, KEY); c.rect(7, 7, 14, 7, OCHRE); c.rect(11, 8, 12, 10, OCHRE)


def letters(c):
    c.line(2, 13, 5, 3, NAVY); c.line(5, 3, 8, 13, NAVY); c.line(3, 9, 7, 9, NAVY)
    c.rect(10, 6, 13, 13, TEAL); c.rect(11, 8, 12, 11, PAPER)


def link(c):
    c.rect(2, 2, 13, 13, PAPER); c.frame(2, 2, 13, 13, DARK)
    c.line(5, 10, 10, 5, GREEN); c.line(7, 5, 10, 5, GREEN); c.line(10, 5, 10, 8, GREEN)


def setup(c):
    c.rect(2, 2, 13, 13, WHITE); c.frame(2, 2, 13, 13, DARK)
    for y in (4, 7, 10):
        c.rect(4, y, 5, y + 1, GREEN); c.line(7, y, 11, y, DARK)


def func(c):
    c.line(5, 13, 7, 3, NAVY); c.line(7, 3, 10, 3, NAVY); c.line(4, 7, 9, 7, NAVY)
    c.line(11, 9, 14, 13, RED); c.line(14, 9, 11, 13, RED)


def tool(draw):
    c = Canvas(16, 15); draw(c); return c


def t_new(c): page(c)
def t_open(c): folder(c, YELLOW, 2); c.line(9, 1, 13, 1, GREEN); c.line(13, 1, 11, 0, GREEN)
def t_save(c):
    c.rect(1, 1, 14, 13, NAVY); c.rect(4, 1, 11, 5, WHITE); c.rect(4, 8, 11, 13, GREY); c.rect(9, 2, 10, 4, NAVY)
def t_cut(c):
    c.line(4, 1, 9, 9, DARK); c.line(11, 1, 6, 9, DARK)
    c.frame(3, 9, 6, 12, RED); c.frame(9, 9, 12, 12, RED)
def t_copy(c): page(c, 1, 0); page(c, 5, 2)
def t_paste(c):
    c.rect(2, 2, 11, 13, OCHRE); c.rect(5, 1, 8, 3, DARK); page(c, 6, 5)
def t_build(c): box(c); c.rect(12, 0, 13, 3, RED); c.rect(10, 1, 15, 2, RED)
def t_about(c):
    c.rect(3, 1, 12, 12, BLUE); c.rect(7, 3, 8, 4, WHITE); c.rect(7, 6, 8, 10, WHITE)
def t_help(c):
    c.line(2, 1, 2, 11, BLACK); c.line(2, 1, 9, 8, BLACK); c.line(2, 11, 5, 8, BLACK)
    c.line(11, 3, 14, 3, BLUE); c.line(14, 3, 14, 6, BLUE); c.line(12, 7, 14, 6, BLUE); c.put(12, 10, BLUE)


def strip(images, w, h):
    out = Canvas(w * len(images), h)
    for i, d in enumerate(images):
        c = Canvas(w, h); d(c); out.blit(c, i * w, 0)
    return out


def write_bmp(path, c):
    qp_art.write_bmp24(path, c.w, c.h, lambda x, y: c.px[y][x])


def icon_image(c):
    """32-bit icon image with an AND mask from the key colour."""
    def bgra(x, y):
        r, g, b = c.px[y][x]
        return (0, 0, 0, 0) if (r, g, b) == KEY else (b, g, r, 255)
    return qp_art.icon_dib(c.w, c.h, bgra, lambda x, y: c.px[y][x] == KEY)


def scale(c, f):
    out = Canvas(c.w * f, c.h * f)
    for y in range(out.h):
        for x in range(out.w):
            out.px[y][x] = c.px[y // f][x // f]
    return out


def write_ico(path, small):
    images = [small, scale(small, 2)]
    qp_art.write_icon_file(path, [(i.w, i.h, icon_image(i)) for i in images])


def splash(top, bottom, accent):
    """Start-up picture: a vertical gradient with the application's picture enlarged and a band
    of the accent colour; the window writes the product name over it."""
    c = Canvas(360, 200)
    for y in range(c.h):
        t = y / (c.h - 1)
        c.rect(0, y, c.w - 1, y, tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)))
    big = scale(icon16(app_img), 5)
    for y in range(big.h):
        for x in range(big.w):
            if big.px[y][x] != KEY:
                c.put(24 + x, 36 + y, big.px[y][x])
    c.rect(0, 150, c.w - 1, 153, accent)
    c.frame(0, 0, c.w - 1, c.h - 1, NAVY)
    return c


def icon16(draw):
    c = Canvas(16, 16); draw(c); return c


def group_img(c): folder(c, YELLOW)
def comp_img(c): box(c)
def setup_img(c): setup(c)
def reg_img(c): key(c)
def str_img(c): letters(c)
def link_img(c): link(c)
def files_img(c): folder(c, (120, 180, 240))
def file_img(c): page(c, 3, 1); c.line(5, 5, 10, 5, DARK); c.line(5, 7, 10, 7, DARK); c.line(5, 9, 8, 9, DARK)
def root_img(c): c.rect(2, 3, 13, 12, TEAL); c.frame(2, 3, 13, 12, NAVY); c.rect(4, 5, 11, 6, WHITE)
def hive_img(c): c.rect(2, 2, 13, 13, GREY); c.frame(2, 2, 13, 13, DARK); key(c)
def value_img(c): c.rect(2, 4, 13, 11, WHITE); c.frame(2, 4, 13, 11, DARK); c.line(4, 7, 11, 7, BLUE); c.line(4, 9, 9, 9, BLUE)
def member_img(c): box(c, GREEN)
def shell_img(c): c.rect(1, 2, 14, 11, BLUE); c.frame(1, 2, 14, 11, NAVY); c.rect(5, 12, 10, 13, DARK)
# Registry values, drawn as the letters and digits the system's own editor shows.
def ring(c, x0, y0, x1, y1, col): c.frame(x0, y0, x1, y1, col)
def sz_img(c):
    c.rect(1, 3, 14, 12, WHITE); c.frame(1, 3, 14, 12, DARK)
    ring(c, 3, 7, 6, 10, RED); c.line(6, 6, 6, 10, RED); c.line(3, 6, 5, 6, RED)
    c.line(8, 5, 8, 10, RED); ring(c, 8, 7, 12, 10, RED)
def digit0(c, x, col): ring(c, x, 5, x + 2, 10, col)
def digit1(c, x, col): c.line(x + 1, 5, x + 1, 10, col); c.put(x, 6, col)
def bin_img(c):
    c.rect(1, 3, 14, 12, WHITE); c.frame(1, 3, 14, 12, DARK)
    digit0(c, 3, BLUE); digit1(c, 7, BLUE); digit0(c, 10, BLUE)
def dword_img(c):
    c.rect(1, 3, 14, 12, WHITE); c.frame(1, 3, 14, 12, DARK)
    digit1(c, 3, TEAL); digit1(c, 6, TEAL); digit0(c, 10, TEAL); c.line(2, 11, 13, 11, TEAL)
def app_img(c):
    box(c); c.line(9, 9, 14, 14, OCHRE); c.line(10, 9, 14, 13, OCHRE); c.put(9, 8, BLACK)


if __name__ == '__main__':
    write_bmp('toolbar.bmp', strip([t_new, t_open, t_save, t_cut, t_copy, t_paste, t_build, t_about, t_help], 16, 15))
    write_bmp('tabs.bmp', strip([group_img, comp_img, setup_img, reg_img, str_img, link_img], 16, 16))
    # Tree nodes: 0 root, 1 group, 2 folder, 3 component, 4 setup type, 5 registry set,
    # 6 hive, 7 key, 8 language, 9 shell folder, 10 program folder, 11 shortcut,
    # 12 component not in the setup type, 13 member component, 14 value.
    write_bmp('nodes.bmp', strip([root_img, group_img, files_img, comp_img, setup_img, reg_img, hive_img, reg_img,
                                  str_img, shell_img, group_img, link_img, comp_img, member_img, value_img], 16, 16))
    write_bmp('files.bmp', strip([file_img, files_img], 16, 16))
    # The registry window's rows: 0 key, 1 string, 2 binary, 3 double-word value.
    write_bmp('regvalues.bmp', strip([reg_img, sz_img, bin_img, dword_img], 16, 16))
    write_ico('qpb.ico', icon16(app_img))
    write_bmp('splash1.bmp', splash((20, 50, 110), (60, 130, 190), YELLOW))
    write_bmp('splash2.bmp', splash((20, 80, 90), (70, 160, 150), OCHRE))
    for i, d in enumerate([comp_img, group_img, files_img, setup_img, reg_img, str_img, link_img, func]):
        write_ico('item%d.ico' % i, icon16(d))
