#!/usr/bin/env python3
"""Draws Kestrow's pictures and writes them as .ico and .bmp files.

Every picture is a short list of shapes, rasterised with supersampling at any
size. The icons and bitmaps here are drawn on a 16x16 grid (coordinates in
pixels of the 16x16 size, so edges can sit on pixel boundaries); edit a
picture by editing its draw_* routine, the palette below keeps them
consistent. The autoclose dialog's pictures live in art_autoclose.py.

Usage: make_art.py OUTDIR
"""
import math
import os
import struct
import sys
import zlib

SS = 4  # supersampling per axis
GRID = 16.0  # the design grid of the icons and bitmaps below

# ---- palette ----------------------------------------------------------------

CLEAR = (0, 0, 0, 0)
INK = (44, 56, 78, 255)  # outlines and dark parts
SILVER = (218, 225, 236, 255)  # disc surface
SILVER_DARK = (150, 162, 182, 255)  # disc hub, metal
SHEEN = (126, 182, 240, 255)  # the disc's blue data sheen
SHEEN_WARM = (246, 206, 120, 255)  # its warm reflection
WHITE = (255, 255, 255, 255)
BLUE = (38, 112, 204, 255)  # the program's accent
BLUE_DARK = (22, 64, 140, 255)
GREEN = (52, 176, 64, 255)
GREEN_DARK = (22, 96, 34, 255)
RED = (214, 66, 46, 255)
RED_DARK = (130, 30, 20, 255)
PANEL = (196, 203, 214, 255)  # drive front
PANEL_LIGHT = (232, 236, 242, 255)
LED = (60, 210, 90, 255)
YELLOW = (252, 208, 76, 255)
YELLOW_DARK = (206, 150, 30, 255)
BROWN = (150, 96, 40, 255)
WOOD = (200, 136, 70, 255)
PURPLE = (104, 62, 176, 255)


# ---- shapes: (inside(x, y), bounding box) on the 16-unit grid ----------------

class Shape:
    def __init__(self, inside, box):
        self.inside = inside
        self.box = box  # x0, y0, x1, y1

    def __call__(self, x, y):
        return self.inside(x, y)

    def __sub__(self, other):
        return Shape(lambda x, y: self.inside(x, y) and not other.inside(x, y), self.box)

    def __or__(self, other):
        a, b = self.box, other.box
        return Shape(lambda x, y: self.inside(x, y) or other.inside(x, y),
                     (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3])))

    def __and__(self, other):
        return Shape(lambda x, y: self.inside(x, y) and other.inside(x, y), self.box)


def circle(cx, cy, r):
    return Shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r,
                 (cx - r, cy - r, cx + r, cy + r))


def ring(cx, cy, r1, r2):
    return circle(cx, cy, r2) - circle(cx, cy, r1)


def rect(x0, y0, x1, y1):
    return Shape(lambda x, y: x0 <= x <= x1 and y0 <= y <= y1, (x0, y0, x1, y1))


def rounded(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        dx = max(x0 + r - x, 0, x - (x1 - r))
        dy = max(y0 + r - y, 0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return Shape(inside, (x0, y0, x1, y1))


def polygon(*points):
    if len(points) == 1:  # also polygon([p, q, ...])
        points = tuple(points[0])

    def inside(x, y):
        c = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                c = not c
            j = i
        return c
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return Shape(inside, (min(xs), min(ys), max(xs), max(ys)))


def segment(x0, y0, x1, y1, w):
    """A stroke of width w with round ends."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy or 1e-9
    h = w / 2

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx - x, y0 + t * dy - y
        return px * px + py * py <= h * h
    return Shape(inside, (min(x0, x1) - h, min(y0, y1) - h, max(x0, x1) + h, max(y0, y1) + h))


def path(points, w):
    shape = segment(*points[0], *points[1], w)
    for a, b in zip(points[1:], points[2:]):
        shape = shape | segment(*a, *b, w)
    return shape


def sector(cx, cy, r, start, end):
    """Part of a circle between two angles in degrees (0 = right, clockwise
    on screen, since y grows downwards)."""
    def inside(x, y):
        if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
            return False
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360
        return (a - start) % 360 <= (end - start) % 360
    return Shape(inside, (cx - r, cy - r, cx + r, cy + r))


# ---- rasteriser ---------------------------------------------------------------

class Canvas:
    def __init__(self, size, background=CLEAR, grid=1.0):
        """grid: the coordinate of the canvas's right and bottom edges."""
        self.size = size
        self.grid = grid
        r, g, b, a = background
        self.px = [[(float(r), float(g), float(b), a / 255.0)] * size for _ in range(size)]

    def fill(self, shape, colour):
        """Blends colour over the pixels, weighted by the share of each pixel
        that lies inside the shape."""
        n = self.size
        k = n / self.grid
        r, g, b, a = colour
        x0, y0, x1, y1 = shape.box
        inside = shape.inside
        for py in range(max(0, int(y0 * k) - 1), min(n, int(y1 * k) + 2)):
            row = self.px[py]
            for px in range(max(0, int(x0 * k) - 1), min(n, int(x1 * k) + 2)):
                hits = 0
                for sy in range(SS):
                    y = (py + (sy + 0.5) / SS) / k
                    for sx in range(SS):
                        if inside((px + (sx + 0.5) / SS) / k, y):
                            hits += 1
                if not hits:
                    continue
                cov = hits / (SS * SS) * a / 255.0
                dr, dg, db, da = row[px]
                oa = cov + da * (1 - cov)
                row[px] = tuple((s * cov + d * da * (1 - cov)) / oa
                                for s, d in ((r, dr), (g, dg), (b, db))) + (oa,)

    def rgba(self):
        return [[(round(r), round(g), round(b), round(a * 255)) for r, g, b, a in row]
                for row in self.px]


def outlined(c, shape, inner, fill, line=INK):
    c.fill(shape, line)
    c.fill(inner, fill)


# ---- file writers -------------------------------------------------------------

def and_mask(pix, opaque):
    n = len(pix)
    stride = ((n + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pix):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if not opaque(p):
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return bytes(mask)


def bmp_entry(pix):
    """A 32-bit icon image: BITMAPINFOHEADER, BGRA rows bottom-up, AND mask."""
    n = len(pix)
    hdr = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    body = bytearray()
    for row in reversed(pix):
        for r, g, b, a in row:
            body += bytes((b, g, r, a))
    return hdr + bytes(body) + and_mask(pix, lambda p: p[3] > 0)


def bmp8_entry(pix):
    """An 8-bit icon image without alpha: a pixel is drawn when at least half
    of it is covered, in its own colour; the rest is masked out."""
    n = len(pix)
    opaque = lambda p: p[3] >= 128
    colours = [(0, 0, 0)]
    index = {}
    for row in pix:
        for p in row:
            if opaque(p) and p[:3] not in index:
                index[p[:3]] = len(colours)
                colours.append(p[:3])
    if len(colours) > 256:
        raise ValueError('more than 256 colours in an 8-bit icon')
    palette = bytearray()
    for r, g, b in colours + [(0, 0, 0)] * (256 - len(colours)):
        palette += bytes((b, g, r, 0))
    hdr = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    stride = (n + 3) // 4 * 4
    body = bytearray()
    for row in reversed(pix):
        line = bytearray(index[p[:3]] if opaque(p) else 0 for p in row)
        body += line + bytes(stride - n)
    return hdr + bytes(palette) + bytes(body) + and_mask(pix, opaque)


def png_entry(pix):
    """RGBA rows as a PNG; with a palette (and its alpha in tRNS) where the
    picture has no more than 256 colours, which holds the same pixels in
    fewer bytes."""
    n = len(pix)
    colours = sorted({p for row in pix for p in row})
    indexed = len(colours) <= 256
    index = {p: i for i, p in enumerate(colours)}
    raw = bytearray()
    for row in pix:
        raw.append(0)
        for p in row:
            raw += bytes((index[p],)) if indexed else bytes(p)

    def chunk(kind, data):
        c = struct.pack('>I', len(data)) + kind + data
        return c + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)
    head = chunk(b'IHDR', struct.pack('>IIBBBBB', n, n, 8, 3 if indexed else 6, 0, 0, 0))
    if indexed:
        head += chunk(b'PLTE', b''.join(bytes(p[:3]) for p in colours))
        head += chunk(b'tRNS', bytes(p[3] for p in colours))
    return (b'\x89PNG\r\n\x1a\n' + head + chunk(b'IDAT', zlib.compress(bytes(raw), 9))
            + chunk(b'IEND', b''))


def write_ico(path, images, bits=32):
    """images: pixel grids; 256x256 images are stored as PNG."""
    entries = []
    for p in images:
        if len(p) >= 256:
            entries.append((png_entry(p), 32, 0))
        elif bits == 8:
            entries.append((bmp8_entry(p), 8, 0))
        else:
            entries.append((bmp_entry(p), 32, 0))
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for pix, (data, bpp, colours) in zip(images, entries):
        n = len(pix)
        out += struct.pack('<BBBBHHII', n % 256, n % 256, colours, 0, 1, bpp, len(data), offset)
        offset += len(data)
    for data, _, _ in entries:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


def write_bmp24(path, pix):
    n = len(pix)
    stride = (n * 3 + 3) // 4 * 4
    body = bytearray()
    for row in reversed(pix):
        line = bytearray()
        for r, g, b, _ in row:
            line += bytes((b, g, r))
        body += line + bytes(stride - n * 3)
    info = struct.pack('<IiiHHIIiiII', 40, n, n, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(body), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(head + info + bytes(body))


# ---- pictures -----------------------------------------------------------------

def draw_disc(c, cx=8, cy=8, r=7.1):
    """The disc every medium picture starts from: rim, silver face, sheen
    and hub with its hole."""
    hole = circle(cx, cy, r * 0.17)
    c.fill(circle(cx, cy, r) - hole, INK)
    c.fill(circle(cx, cy, r - 1) - hole, SILVER)
    c.fill(sector(cx, cy, r - 1.4, 200, 255) - circle(cx, cy, r * 0.42), SHEEN)
    c.fill(sector(cx, cy, r - 1.4, 20, 75) - circle(cx, cy, r * 0.42), SHEEN)
    c.fill(sector(cx, cy, r - 1.8, 265, 290) - circle(cx, cy, r * 0.42), SHEEN_WARM)
    c.fill(ring(cx, cy, r * 0.17, r * 0.33), SILVER_DARK)


def draw_program(c):
    """Icon 1000: a disc with the eject sign on a blue button."""
    draw_disc(c, 7, 7, 6.6)
    outlined(c, circle(11.6, 11.6, 4.4), circle(11.6, 11.6, 3.5), BLUE)
    c.fill(polygon((9.3, 11.7), (13.9, 11.7), (11.6, 8.9)), WHITE)
    c.fill(rect(9.3, 12.6, 13.9, 13.7), WHITE)


def draw_data(c):
    """Icon 1001: a data disc."""
    draw_disc(c)


def draw_nomedia(c):
    """Icon 1002: the front of an empty drive: tray slot, eject button, LED."""
    outlined(c, rounded(0.5, 4.5, 15.5, 12.5, 1.5), rounded(1.5, 5.5, 14.5, 11.5, 0.6), PANEL)
    c.fill(rect(1.5, 5.5, 14.5, 6.5), PANEL_LIGHT)
    c.fill(rect(2, 7.5, 14, 8.6), INK)
    c.fill(rect(11, 9.6, 14, 10.6), SILVER_DARK)
    c.fill(rect(2.5, 9.6, 4, 10.6), LED)


def draw_audio(c):
    """Icon 1003: a disc with two beamed notes."""
    draw_disc(c)
    note = (segment(7.5, 13.3, 9.4, 12.7, 2.9) | segment(12.5, 12.3, 14.4, 11.7, 2.9)
            | rect(9.6, 5.6, 10.8, 12.8) | rect(14.6, 4.6, 15.8, 11.8)
            | polygon((9.6, 5.2), (15.8, 3.8), (15.8, 6.2), (9.6, 7.6)))
    halo = (segment(7.5, 13.3, 9.4, 12.7, 4.9) | segment(12.5, 12.3, 14.4, 11.7, 4.9)
            | rect(8.6, 4.6, 11.8, 13.8) | rect(13.6, 3.4, 16, 12.8)
            | polygon((8.6, 4.2), (16, 2.6), (16, 7.2), (8.6, 8.6)))
    c.fill(halo, WHITE)
    c.fill(note, PURPLE)


def draw_dvd(c):
    """Icon 1004: a disc with a strip of film across its lower half."""
    draw_disc(c)
    c.fill(rect(0, 9, 16, 15), INK)
    for x in range(1, 16, 3):
        c.fill(rect(x, 10, x + 1.5, 11), WHITE)
        c.fill(rect(x, 13, x + 1.5, 14), WHITE)
    c.fill(rect(0.5, 11.5, 7.5, 12.5), SHEEN)
    c.fill(rect(8.5, 11.5, 15.5, 12.5), SHEEN)


def draw_check_badge(c):
    """Icon 1005: a green check mark in the upper part (8-bit, masked)."""
    c.fill(path([(7.5, 4.6), (10.2, 7.3), (14.6, 1.8)], 4.0), GREEN_DARK)
    c.fill(path([(7.5, 4.6), (10.2, 7.3), (14.6, 1.8)], 2.0), GREEN)


def draw_tray_badge(c):
    """Icon 1006: a small disc in the lower right corner (8-bit, masked)."""
    c.fill(circle(12, 12, 4), INK)
    c.fill(circle(12, 12, 3), SILVER)
    c.fill(sector(12, 12, 2.6, 200, 270), SHEEN)
    c.fill(circle(12, 12, 1.1), INK)


def draw_folder(c):
    """Bitmap 1020: a folder."""
    c.fill(polygon((1, 2.5), (6.5, 2.5), (8, 4), (15, 4), (15, 13.5), (1, 13.5)), YELLOW_DARK)
    c.fill(polygon((2, 3.5), (6, 3.5), (7.5, 5), (14, 5), (14, 12.5), (2, 12.5)), YELLOW)
    c.fill(polygon((3.5, 6.5), (16, 6.5), (14.5, 13.5), (1, 13.5)), YELLOW_DARK)
    c.fill(polygon((4.3, 7.5), (14.8, 7.5), (13.7, 12.5), (2.3, 12.5)), YELLOW)


def draw_bulb(c):
    """Bitmap 1021: a light bulb."""
    glass = circle(8, 6, 5) | polygon((4.5, 8.5), (11.5, 8.5), (10.5, 11), (5.5, 11))
    inner = circle(8, 6, 4) | polygon((5.4, 8.5), (10.6, 8.5), (9.6, 10.2), (6.4, 10.2))
    outlined(c, glass, inner, YELLOW, YELLOW_DARK)
    c.fill(segment(5.8, 5.2, 6.8, 3.6, 1.2), WHITE)
    c.fill(rounded(5.5, 11, 10.5, 14.6, 1), INK)
    c.fill(rect(6.5, 11.8, 9.5, 12.4), SILVER)
    c.fill(rect(6.5, 13.2, 9.5, 13.8), SILVER)


def draw_tools(c):
    """Bitmap 1022: an open-ended wrench crossed with a screwdriver."""
    def slot(cx, cy, half, length):
        # a slot cut into the wrench head, along the handle's axis
        ux, uy, vx, vy = 0.7071, -0.7071, 0.7071, 0.7071
        return polygon((cx - half * vx, cy - half * vy), (cx + half * vx, cy + half * vy),
                       (cx + half * vx + length * ux, cy + half * vy + length * uy),
                       (cx - half * vx + length * ux, cy - half * vy + length * uy))
    c.fill((circle(11.6, 4.4, 3.6) | segment(3, 13, 10.5, 5.5, 3.4)) - slot(11.6, 4.4, 1.2, 6),
           INK)
    c.fill((circle(11.6, 4.4, 2.6) | segment(3, 13, 10.5, 5.5, 1.4)) - slot(11.6, 4.4, 2.2, 6),
           SILVER_DARK)
    c.fill(segment(2.5, 2.5, 8.5, 8.5, 1.4), INK)
    c.fill(segment(9.6, 9.6, 13.4, 13.4, 4), RED_DARK)
    c.fill(segment(9.6, 9.6, 13.4, 13.4, 2.2), RED)


def draw_question(c):
    """Bitmap 1023: a white question mark on a blue button."""
    outlined(c, circle(8, 8, 7.2), circle(8, 8, 6.2), BLUE, BLUE_DARK)
    arc = ring(8, 6.2, 1.3, 3.1) & sector(8, 6.2, 4, 165, 45)
    c.fill(arc, WHITE)
    c.fill(path([(9.6, 7.6), (8.1, 8.7), (8.1, 9.8)], 1.8), WHITE)
    c.fill(circle(8.1, 12.3, 1.15), WHITE)


def draw_door(c):
    """Bitmap 1024: a door with an arrow leading out."""
    c.fill(rect(1.5, 1, 10, 15), BROWN)
    c.fill(rect(2.5, 2, 9, 15), WOOD)
    c.fill(rect(3.5, 3, 8, 7), (214, 156, 96, 255))
    c.fill(rect(3.5, 8.5, 8, 13.5), (214, 156, 96, 255))
    c.fill(circle(7.6, 8, 0.7), INK)
    arrow = segment(6.5, 8, 12, 8, 2.2) | polygon((10.5, 3.8), (15.6, 8), (10.5, 12.2))
    halo = segment(6.5, 8, 12, 8, 4.2) | polygon((9.5, 2.0), (16, 8), (9.5, 14))
    c.fill(halo, RED_DARK)
    c.fill(arrow, RED)


def draw_eject(c):
    """Bitmap 1025: the eject sign, a triangle pointing up over a bar."""
    outlined(c, polygon((1.5, 10), (14.5, 10), (8, 2)), polygon((3.6, 9), (12.4, 9), (8, 3.6)),
             BLUE, BLUE_DARK)
    outlined(c, rect(1.5, 11.5, 14.5, 14.5), rect(2.5, 12.5, 13.5, 13.5), BLUE, BLUE_DARK)


def draw_load(c):
    """Bitmap 1026: a triangle pointing down over a bar (load the tray)."""
    outlined(c, polygon((1.5, 2), (14.5, 2), (8, 10)), polygon((3.6, 3), (12.4, 3), (8, 8.4)),
             BLUE, BLUE_DARK)
    outlined(c, rect(1.5, 11.5, 14.5, 14.5), rect(2.5, 12.5, 13.5, 13.5), BLUE, BLUE_DARK)


# ---- what the build gets --------------------------------------------------------

# File name: (draw routine, sizes, bits per pixel).
ICONS = {
    'program.ico': (draw_program, (16, 32, 48, 256), 32),  # 1000
    'data.ico': (draw_data, (16,), 32),  # 1001
    'nomedia.ico': (draw_nomedia, (16,), 32),  # 1002
    'audiocd.ico': (draw_audio, (16,), 32),  # 1003
    'dvdvideo.ico': (draw_dvd, (16,), 32),  # 1004
    'checkbadge.ico': (draw_check_badge, (16,), 8),  # 1005
    'traybadge.ico': (draw_tray_badge, (16,), 8),  # 1006
}

# 16x16, 24-bit, on white.
BITMAPS = {
    'folder.bmp': draw_folder,  # 1020
    'bulb.bmp': draw_bulb,  # 1021
    'tools.bmp': draw_tools,  # 1022
    'question.bmp': draw_question,  # 1023
    'door.bmp': draw_door,  # 1024
    'eject.bmp': draw_eject,  # 1025
    'load.bmp': draw_load,  # 1026
}


def render(draw, size, background=CLEAR):
    c = Canvas(size, background, GRID)
    draw(c)
    return c.rgba()


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else '.'
    os.makedirs(out, exist_ok=True)
    for name, (draw, sizes, bits) in ICONS.items():
        write_ico(os.path.join(out, name), [render(draw, n) for n in sizes], bits)
    for name, draw in BITMAPS.items():
        write_bmp24(os.path.join(out, name), render(draw, 16, WHITE))
    import art_autoclose  # icon 1007, cursor 1028 and animation 1027
    art_autoclose.write_all(out, write_ico)


if __name__ == '__main__':
    main()
