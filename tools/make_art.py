#!/usr/bin/env python3
"""Draws Kestrow's pictures and writes them as .ico/.bmp files.

Every picture is described below as a few shapes in a 0..1 coordinate space,
rasterised with 4x4 supersampling so that the 16x16 sizes stay crisp.
Usage: make_art.py OUTDIR
"""
import os
import struct
import sys
import zlib

SS = 4  # supersampling factor per axis


class Canvas:
    def __init__(self, size):
        self.size = size
        self.px = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]

    def fill(self, inside, colour):
        """Blends colour (r, g, b, a in 0..255) over every pixel, weighted by
        the share of its subsamples for which inside(x, y) is true."""
        n = self.size
        r, g, b, a = colour
        for py in range(n):
            row = self.px[py]
            for px in range(n):
                hits = 0
                for sy in range(SS):
                    y = (py + (sy + 0.5) / SS) / n
                    for sx in range(SS):
                        x = (px + (sx + 0.5) / SS) / n
                        if inside(x, y):
                            hits += 1
                if hits:
                    cov = hits / (SS * SS) * a / 255.0
                    dr, dg, db, da = row[px]
                    oa = cov + da * (1 - cov)
                    if oa > 0:
                        mix = lambda s, d: (s * cov + d * da * (1 - cov)) / oa
                        row[px] = (mix(r, dr), mix(g, dg), mix(b, db), oa)

    def rgba(self):
        out = []
        for row in self.px:
            out.append([(int(round(r)), int(round(g)), int(round(b)), int(round(a * 255)))
                        for r, g, b, a in row])
        return out


def circle(cx, cy, rad):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= rad * rad


def ring(cx, cy, r1, r2):
    return lambda x, y: r1 * r1 <= (x - cx) ** 2 + (y - cy) ** 2 <= r2 * r2


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def polygon(points):
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
    return inside


# ---- file writers -------------------------------------------------------

def bmp_entry(pix):
    """A 32-bit icon image: BITMAPINFOHEADER, BGRA rows bottom-up, AND mask."""
    n = len(pix)
    hdr = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    body = bytearray()
    for row in reversed(pix):
        for r, g, b, a in row:
            body += bytes((b, g, r, a))
    stride = ((n + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pix):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return hdr + bytes(body) + bytes(mask)


def png_entry(pix):
    n = len(pix)
    raw = bytearray()
    for row in pix:
        raw.append(0)
        for p in row:
            raw += bytes(p)

    def chunk(kind, data):
        c = struct.pack('>I', len(data)) + kind + data
        return c + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', n, n, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def write_ico(path, images):
    """images: list of pixel grids; sizes of 256 are stored as PNG."""
    entries = [png_entry(p) if len(p) >= 256 else bmp_entry(p) for p in images]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for pix, data in zip(images, entries):
        n = len(pix)
        out += struct.pack('<BBBBHHII', n % 256, n % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in entries:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


# ---- pictures -----------------------------------------------------------

def draw_disc(c, cx=0.5, cy=0.5, r=0.46):
    c.fill(circle(cx, cy, r), (120, 130, 150, 255))
    c.fill(circle(cx, cy, r - 0.05), (214, 222, 236, 255))
    c.fill(ring(cx, cy, r * 0.45, r * 0.8), (160, 196, 236, 255))
    c.fill(circle(cx, cy, r * 0.28), (120, 130, 150, 255))
    c.fill(circle(cx, cy, r * 0.16), (0, 0, 0, 0) if False else (255, 255, 255, 255))


def program_icon(n):
    c = Canvas(n)
    draw_disc(c)
    return c.rgba()


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else '.'
    os.makedirs(out, exist_ok=True)
    write_ico(os.path.join(out, 'program.ico'), [program_icon(n) for n in (16, 32, 48, 256)])
    import art_autoclose
    art_autoclose.write_all(out, write_ico)


if __name__ == '__main__':
    main()
