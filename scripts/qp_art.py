"""The pieces every art generator of this tree shares: the rectangle rule, the 24-bit BMP
writer, the 32-bit icon image with its mask, and the .ico/.cur file around such images.

Standard library only. A generator imports it with
    sys.path.insert(0, <repo>/scripts); import qp_art
"""
import os
import struct


def span(a, b, inclusive):
    """The coordinates from a to b; b itself only when the caller's rule says its ends are
    inclusive (the builder's art names the last pixel, setup's the pixel after it)."""
    return range(a, b + 1 if inclusive else b)


def rect(put, x0, y0, x1, y1, c, inclusive):
    for y in span(y0, y1, inclusive):
        for x in span(x0, x1, inclusive):
            put(x, y, c)


def frame(put, x0, y0, x1, y1, c, inclusive):
    last_x, last_y = (x1, y1) if inclusive else (x1 - 1, y1 - 1)
    for x in span(x0, x1, inclusive):
        put(x, y0, c)
        put(x, last_y, c)
    for y in span(y0, y1, inclusive):
        put(x0, y, c)
        put(last_x, y, c)


def write_file(path, data):
    """Replaces `path` only once the new bytes are all written."""
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def bmp24(w, h, rgb):
    """A bottom-up 24-bit BMP of w x h pixels; rgb(x, y) gives (r, g, b)."""
    row = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray()
        for x in range(w):
            r, g, b = rgb(x, y)
            line += bytes((b, g, r))
        data += line + bytes(row - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def write_bmp24(path, w, h, rgb):
    write_file(path, bmp24(w, h, rgb))


def icon_dib(w, h, bgra, transparent):
    """A 32-bit icon or cursor image: the colour bitmap (bgra(x, y) gives its four bytes) and
    the AND mask, set where transparent(x, y)."""
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            xor += bytes(bgra(x, y))
    mrow = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        bits = bytearray(mrow)
        for x in range(w):
            if transparent(x, y):
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + bytes(mask)


def icon_file(images, kind=1, hotspots=None):
    """An .ico (kind 1) or .cur (kind 2, one (x, y) hot spot per image) file of images given as
    (width, height, dib)."""
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for i, (w, h, dib) in enumerate(images):
        a, b = (1, 32) if kind == 1 else hotspots[i]
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, a, b, len(dib), offset)
        offset += len(dib)
        blobs.append(dib)
    return out + b"".join(blobs)


def write_icon_file(path, images, kind=1, hotspots=None):
    write_file(path, icon_file(images, kind, hotspots))
