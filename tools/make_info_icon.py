#!/usr/bin/env python3
"""Draws the information icon of the help buttons as a palette PNG.

    tools/make_info_icon.py app/resources/info16.png
    tools/make_info_icon.py --size 20|24|32 OUT.png
    tools/make_info_icon.py --ico app/resources/info.ico

The icon is a blue disc with a white "i" on the button-face grey. The
super button makes the colour of the top-left pixel transparent with a
mask, so the picture itself stays opaque: antialiased edges are blended
towards the button face, which is what they will be drawn over.

The palette is a 16 x 16 grid of blends: index 16*d + g is the disc drawn
with coverage d/15 over the background, with the glyph drawn at coverage
g/15 over the disc. Each pixel is supersampled and takes the entry of its
two coverages. The output is byte-for-byte reproducible.

The design is drawn at 16 pixels; 20, 24 and 32 (display scales of 125%,
150% and 200%) scale it, except that the stem's sides stay on whole pixels:
its width is rounded to whole pixels and, where that width and the size
differ in parity, the stem sits half a pixel left of the centre, with the
dot above it.

--ico writes all four sizes into one icon file, each entry the very PNG
that --size draws (PNG entries are read by Vista and later). The help
buttons take their picture from it: at each display scale the size nearest
to 16 pixels at that scale, so that at 100% they show exactly the 16.
"""
import math
import struct
import sys
import zlib

from icon_file import icon_file

SIZES = (16, 20, 24, 32)
SAMPLES = 8  # per axis, per pixel
LEVELS = 16

BACKGROUND = (240, 240, 240)  # the button face the icon sits on
DISC = (33, 110, 214)
GLYPH = (255, 255, 255)

# The geometry at 16 pixels, the size it was drawn for.
DESIGN_SIZE = 16
DISC_RADIUS = 7.4
DOT_Y = 4.5
DOT_RADIUS = 1.3
STEM_WIDTH = 2
STEM_TOP, STEM_BOTTOM = 6.6, 12.4


class Shape:
    def __init__(self, size):
        scale = size / DESIGN_SIZE
        centre = size / 2
        width = max(1, math.floor(STEM_WIDTH * scale + 0.5))
        left = math.floor(centre - width / 2)
        self.size = size
        self.disc_centre = (centre, centre)
        self.disc_radius = DISC_RADIUS * scale
        self.dot_centre = (left + width / 2, DOT_Y * scale)
        self.dot_radius = DOT_RADIUS * scale
        self.stem = (left, STEM_TOP * scale, left + width, STEM_BOTTOM * scale)

    def inside_disc(self, x, y):
        dx, dy = x - self.disc_centre[0], y - self.disc_centre[1]
        return dx * dx + dy * dy <= self.disc_radius * self.disc_radius

    def inside_glyph(self, x, y):
        dx, dy = x - self.dot_centre[0], y - self.dot_centre[1]
        if dx * dx + dy * dy <= self.dot_radius * self.dot_radius:
            return True
        left, top, right, bottom = self.stem
        return left <= x <= right and top <= y <= bottom


def hits(px, py, test):
    count = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            if test(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES):
                count += 1
    return count


def level(count):
    return round(count * (LEVELS - 1) / (SAMPLES * SAMPLES))


def blend(a, b, t):
    return tuple(round(x * (1 - t) + y * t) for x, y in zip(a, b))


def palette():
    entries = []
    for d in range(LEVELS):
        for g in range(LEVELS):
            top = blend(DISC, GLYPH, g / (LEVELS - 1))
            entries.append(blend(BACKGROUND, top, d / (LEVELS - 1)))
    return entries


def coverages(shape):
    """Rows of (disc, glyph) sample counts."""
    rows = []
    for y in range(shape.size):
        row = []
        for x in range(shape.size):
            d = hits(x, y, shape.inside_disc)
            g = hits(x, y, shape.inside_glyph)
            row.append((d, g))
        rows.append(row)
    return rows


def indices(shape):
    rows = []
    for row in coverages(shape):
        out = []
        for d, g in row:
            d = level(d)
            # The glyph lies inside the disc: where the disc thins out the
            # glyph is never wider than the disc under it.
            g = min(level(g), d)
            out.append(d * LEVELS + g)
        rows.append(out)
    return rows


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def text_chunk(keyword, text):
    return chunk(b"tEXt", keyword.encode("latin-1") + b"\0" + text.encode("latin-1"))


def build_png(size):
    shape = Shape(size)
    header = struct.pack(">IIBBBBB", size, size, 8, 3, 0, 0, 0)
    gamma = struct.pack(">I", 45455)  # 1/2.2: taken as sRGB by decoders
    # sRGB white point and primaries, in 1/100000.
    chroma = struct.pack(">8I", 31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000)
    plte = b"".join(bytes(entry) for entry in palette())
    raw = b"".join(b"\0" + bytes(row) for row in indices(shape))
    return b"".join([
        b"\x89PNG\r\n\x1a\n",
        chunk(b"IHDR", header),
        chunk(b"gAMA", gamma),
        chunk(b"cHRM", chroma),
        text_chunk("Title", "Information"),
        text_chunk("Author", "qelmo"),
        text_chunk("Description",
                   "Information icon for the help buttons of the qelmo installer: a blue disc "
                   "with a white letter i on the button face colour (240, 240, 240). "
                   "Palette index 16*d+g holds the disc at coverage d/15 over the background "
                   "with the letter at coverage g/15 over the disc, so antialiased edges are "
                   "palette entries. The top-left pixel is background: it becomes transparent."),
        text_chunk("Software", "tools/make_info_icon.py"),
        chunk(b"PLTE", plte),
        chunk(b"IDAT", zlib.compress(raw, 9)),
        chunk(b"IEND", b""),
    ])


def build_ico(sizes):
    return icon_file([(size, build_png(size)) for size in sizes])


def main(argv):
    args = argv[1:]
    if len(args) == 2 and args[0] == "--ico":
        data = build_ico(SIZES)
    elif len(args) == 3 and args[0] == "--size" and args[1].isdigit() and int(args[1]) in SIZES:
        data = build_png(int(args[1]))
    elif len(args) == 1 and not args[0].startswith("-"):
        data = build_png(DESIGN_SIZE)
    else:
        sys.stderr.write("usage: make_info_icon.py [--size 16|20|24|32] OUT.png\n"
                         "       make_info_icon.py --ico OUT.ico\n")
        return 2
    with open(args[-1], "wb") as out:
        out.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
