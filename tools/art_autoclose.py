"""Pictures of the autoclose dialog: the alarm clock icon, the hand cursor of
its links and the spinning animation of each line. Called by make_art.py."""
import math
import os
import struct

from make_art import Canvas, circle, ring, polygon, rect, and_mask


def alarm_clock(n):
    c = Canvas(n)
    ink = (60, 64, 74, 255)
    # bells and legs behind the face
    c.fill(circle(0.2, 0.2, 0.14), (200, 60, 50, 255))
    c.fill(circle(0.8, 0.2, 0.14), (200, 60, 50, 255))
    c.fill(polygon([(0.22, 0.78), (0.3, 0.8), (0.16, 0.96), (0.1, 0.93)]), ink)
    c.fill(polygon([(0.78, 0.78), (0.7, 0.8), (0.84, 0.96), (0.9, 0.93)]), ink)
    c.fill(rect(0.46, 0.06, 0.54, 0.16), ink)
    c.fill(circle(0.5, 0.55, 0.4), (220, 70, 58, 255))
    c.fill(circle(0.5, 0.55, 0.32), (255, 255, 255, 255))
    for k in range(12):
        a = k * math.pi / 6
        x, y = 0.5 + 0.27 * math.sin(a), 0.55 - 0.27 * math.cos(a)
        c.fill(circle(x, y, 0.025 if k % 3 else 0.035), ink)
    # hands at ten past ten
    c.fill(polygon([(0.48, 0.56), (0.52, 0.54), (0.33, 0.42), (0.31, 0.44)]), ink)
    c.fill(polygon([(0.485, 0.57), (0.515, 0.57), (0.66, 0.33), (0.64, 0.31)]), ink)
    c.fill(circle(0.5, 0.55, 0.04), (200, 60, 50, 255))
    return c.rgba()


def hand_cursor():
    """32x32 pointing hand, black outline on white; the hot spot is the tip
    of the index finger. Drawn pixel by pixel so that every edge is crisp."""
    def rounded(x0, y0, x1, y1, r):
        def inside(x, y):
            if not (x0 <= x <= x1 and y0 <= y <= y1):
                return False
            cx = min(max(x, x0 + r), x1 - r)
            cy = min(max(y, y0 + r), y1 - r)
            return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
        return inside
    parts = [
        rounded(9, 0, 13, 16, 2),     # index finger
        rounded(13, 9, 17, 17, 2),    # middle finger
        rounded(17, 10, 21, 18, 2),   # ring finger
        rounded(21, 11, 25, 19, 2),   # little finger
        polygon([(9, 14), (25, 15), (25, 23), (21, 29), (11, 29), (3, 19), (5, 16), (9, 19)]),
        rounded(2, 14, 8, 20, 2.5),   # thumb
    ]
    def solid(x, y):
        return any(part(x + 0.5, y + 0.5) for part in parts)
    pix = []
    for y in range(32):
        row = []
        for x in range(32):
            if not solid(x, y):
                row.append((0, 0, 0, 0))
            elif all(solid(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                row.append((255, 255, 255, 255))
            else:
                row.append((0, 0, 0, 255))
        pix.append(row)
    # creases between the fingers
    for x, y0, y1 in ((13, 12, 17), (17, 13, 18), (21, 14, 19)):
        for y in range(y0, y1):
            pix[y][x] = (0, 0, 0, 255)
    return pix, (11, 0)


def mono_entry(pix):
    """A two-colour cursor image: the colour plane (1 white, 0 black) over the
    mask (1 clear), 1 bit a pixel each. Fits pictures of black, white and
    clear pixels only."""
    n = len(pix)
    stride = ((n + 31) // 32) * 4
    hdr = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    colour = bytearray()
    for row in reversed(pix):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] and p[:3] not in ((0, 0, 0), (255, 255, 255)):
                raise ValueError('a cursor colour other than black or white')
            if p[3] and p[:3] == (255, 255, 255):
                bits[x // 8] |= 0x80 >> (x % 8)
        colour += bits
    return hdr + palette + bytes(colour) + and_mask(pix, lambda p: p[3] > 0)


def write_cursor(path, pix, hotspot):
    data = mono_entry(pix)
    n = len(pix)
    out = struct.pack('<HHH', 0, 2, 1)
    out += struct.pack('<BBBBHHII', n, n, 2, 0, hotspot[0], hotspot[1], len(data), 22)
    with open(path, 'wb') as f:
        f.write(out + data)


def spinner_frames(n=16, frames=8):
    """Eight dots on a ring; the dark head moves one dot per frame."""
    out = []
    for f in range(frames):
        c = Canvas(n)
        c.fill(rect(0, 0, 1, 1), (255, 255, 255, 255))
        for k in range(8):
            a = k * math.pi / 4
            age = (f - k) % 8
            # the head is dark blue, the tail fades towards the white ground
            shade = min(230, 40 + age * 27)
            c.fill(circle(0.5 + 0.34 * math.sin(a), 0.5 - 0.34 * math.cos(a), 0.11),
                   (shade, shade + (230 - shade) // 3, 230, 255))
        out.append([[p[:3] for p in row] for row in c.rgba()])
    return out


def write_avi(path, frames, usec_per_frame=62500):
    """Uncompressed 8-bit AVI: one palette for all frames, rows bottom-up."""
    n = len(frames[0])
    palette = []
    for fr in frames:
        for row in fr:
            for p in row:
                if p not in palette:
                    palette.append(p)
    if len(palette) > 256:
        raise ValueError('too many colours for an 8-bit animation')
    index = {p: i for i, p in enumerate(palette)}
    stride = (n + 3) & ~3
    images = []
    for fr in frames:
        data = bytearray()
        for row in reversed(fr):
            line = bytearray(index[p] for p in row)
            data += line + bytes(stride - n)
        images.append(bytes(data))
    size = len(images[0])

    def chunk(fourcc, data):
        pad = b'\0' if len(data) % 2 else b''
        return fourcc + struct.pack('<I', len(data)) + data + pad

    def lst(kind, data):
        return b'LIST' + struct.pack('<I', len(data) + 4) + kind + data

    avih = struct.pack('<IIIIIIIIIIIIII', usec_per_frame, size * 16, 0, 0x10, len(frames), 0, 1,
                       size, n, n, 0, 0, 0, 0)
    # Rate/scale: 16 frames per second (62500 us per frame).
    strh = (b'vids' + b'DIB ' + struct.pack('<IHHIIIIIIII', 0, 0, 0, 0, usec_per_frame, 1000000, 0,
            len(frames), size, 0xFFFFFFFF, 0) + struct.pack('<hhhh', 0, 0, n, n))
    bih = struct.pack('<IiiHHIIiiII', 40, n, n, 1, 8, 0, size, 0, 0, len(palette), len(palette))
    pal = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    hdrl = lst(b'hdrl', chunk(b'avih', avih) + lst(b'strl', chunk(b'strh', strh) + chunk(b'strf', bih + pal)))
    movi_data = b''.join(chunk(b'00db', img) for img in images)
    movi = lst(b'movi', movi_data)
    idx = bytearray()
    offset = 4
    for img in images:
        idx += b'00db' + struct.pack('<III', 0x10, offset, len(img))
        offset += 8 + len(img) + (len(img) % 2)
    body = b'AVI ' + hdrl + movi + chunk(b'idx1', bytes(idx))
    with open(path, 'wb') as f:
        f.write(b'RIFF' + struct.pack('<I', len(body)) + body)


def write_all(out, write_ico):
    write_ico(os.path.join(out, 'alarm.ico'), [alarm_clock(48)])  # shown at 48x48 only
    pix, hot = hand_cursor()
    write_cursor(os.path.join(out, 'link.cur'), pix, hot)
    write_avi(os.path.join(out, 'spinner.avi'), spinner_frames())
