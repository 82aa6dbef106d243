#!/usr/bin/env python3
"""Draws the 16x16 information icon of the help buttons as a palette PNG.

    tools/make_info_icon.py app/resources/info16.png

The icon is a blue disc with a white "i" on the button-face grey. The
super button makes the colour of the top-left pixel transparent with a
mask, so the picture itself stays opaque: antialiased edges are blended
towards the button face, which is what they will be drawn over.

The palette is a 16 x 16 grid of blends: index 16*d + g is the disc drawn
with coverage d/15 over the background, with the glyph drawn at coverage
g/15 over the disc. Each pixel is supersampled and takes the entry of its
two coverages. The output is byte-for-byte reproducible.
"""
import struct
import sys
import zlib

SIZE = 16
SAMPLES = 8  # per axis, per pixel
LEVELS = 16

BACKGROUND = (240, 240, 240)  # the button face the icon sits on
DISC = (33, 110, 214)
GLYPH = (255, 255, 255)

DISC_CENTRE = (8.0, 8.0)
DISC_RADIUS = 7.4
DOT_CENTRE = (8.0, 4.5)
DOT_RADIUS = 1.3
STEM = (7.0, 6.6, 9.0, 12.4)  # left, top, right, bottom


def inside_disc(x, y):
    dx, dy = x - DISC_CENTRE[0], y - DISC_CENTRE[1]
    return dx * dx + dy * dy <= DISC_RADIUS * DISC_RADIUS


def inside_glyph(x, y):
    dx, dy = x - DOT_CENTRE[0], y - DOT_CENTRE[1]
    if dx * dx + dy * dy <= DOT_RADIUS * DOT_RADIUS:
        return True
    left, top, right, bottom = STEM
    return left <= x <= right and top <= y <= bottom


def coverage(px, py, test):
    hits = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            if test(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES):
                hits += 1
    return round(hits * (LEVELS - 1) / (SAMPLES * SAMPLES))


def blend(a, b, t):
    return tuple(round(x * (1 - t) + y * t) for x, y in zip(a, b))


def palette():
    entries = []
    for d in range(LEVELS):
        for g in range(LEVELS):
            top = blend(DISC, GLYPH, g / (LEVELS - 1))
            entries.append(blend(BACKGROUND, top, d / (LEVELS - 1)))
    return entries


def pixels():
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            d = coverage(x, y, inside_disc)
            # The glyph lies inside the disc: where the disc thins out the
            # glyph is never wider than the disc under it.
            g = min(coverage(x, y, inside_glyph), d)
            row.append(d * LEVELS + g)
        rows.append(row)
    return rows


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def text_chunk(keyword, text):
    return chunk(b"tEXt", keyword.encode("latin-1") + b"\0" + text.encode("latin-1"))


def build_png():
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 3, 0, 0, 0)
    gamma = struct.pack(">I", 45455)  # 1/2.2: taken as sRGB by decoders
    # sRGB white point and primaries, in 1/100000.
    chroma = struct.pack(">8I", 31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000)
    plte = b"".join(bytes(entry) for entry in palette())
    raw = b"".join(b"\0" + bytes(row) for row in pixels())
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


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_info_icon.py OUT.png\n")
        return 2
    with open(argv[1], "wb") as out:
        out.write(build_png())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
