#!/usr/bin/env python3
"""Draws the program's icon in every size a window asks for, as one icon file.

    tools/make_window_icon.py [--keep OLD.ico] app/resources/qelmo.ico

The icon is a blue (31, 111, 178) square with rounded corners holding a
white lower-case "q": a ring with a square-ended stem down its right side.
On the 32-pixel grid it was drawn on, the square spans 1..31 with corners
of radius 7, the ring is centred at (15.5, 14.5) with radii 7.5 and 4.5,
and the stem spans x 19..24, y 17..28, standing one pixel out of the ring.

Sizes 16, 20, 24, 32, 40 and 48 cover the small and large icons at 100%,
125%, 150% and 200% display scale. Each size is laid out afresh rather
than shrunk: the margin, ring thickness, ring diameter and stem width are
rounded to whole pixels and placed on pixel edges, so the ring's straight
runs and the stem's sides stay crisp; the rounded corners and the ring's
curves are antialiased by supersampling. At 16 the square fills the whole
image, since a margin there would cost the glyph an eighth of its size.

Entries are 32-bit images with straight alpha and an AND mask (set where
alpha is 0), largest first. The output is byte-for-byte reproducible.

--keep takes the images of the sizes OLD.ico has from it unchanged: the
program's icon has had its 16 and 32 since before this tool, and a window
at 100% shows exactly those (app/resources/qelmo.ico is made with
--keep app/resources/qelmo.ico).
"""
import math
import struct
import sys

from icon_file import icon_file, images_of

SIZES = (48, 40, 32, 24, 20, 16)
SAMPLES = 16  # per axis, per pixel

FACE = (31, 111, 178)
GLYPH = (255, 255, 255)

# The design on its 32-pixel grid, relative to the square's top-left corner.
DESIGN_SQUARE = 30
CORNER_RADIUS = 7
RING_LEFT, RING_TOP, RING_DIAMETER, RING_THICKNESS = 7, 6, 15, 3
STEM_WIDTH, STEM_OVERHANG = 5, 1
STEM_TOP_BELOW_CENTRE = 2.5
STEM_BOTTOM_MARGIN = 3


def whole(value):
    """Rounds halves up, the same way on every Python."""
    return math.floor(value + 0.5)


class Layout:
    def __init__(self, size):
        # Halves round down, so 16 (half a pixel on the design grid) has none.
        margin = math.ceil(size / 32 - 0.5)
        square = size - 2 * margin
        scale = square / DESIGN_SQUARE
        self.size = size
        self.square = (margin, margin, margin + square, margin + square)
        self.corner = CORNER_RADIUS * scale

        thickness = max(1, whole(RING_THICKNESS * scale))
        diameter = whole(RING_DIAMETER * scale)
        overhang = whole(STEM_OVERHANG * scale)
        stem_width = max(thickness, whole(STEM_WIDTH * scale))
        # The glyph is centred across the square, as on the design grid.
        left = margin + whole((square - diameter - overhang) / 2)
        top = margin + whole(RING_TOP * scale)
        self.ring_centre = (left + diameter / 2, top + diameter / 2)
        self.ring_outer = diameter / 2
        self.ring_inner = diameter / 2 - thickness
        right = left + diameter + overhang
        self.stem = (right - stem_width,
                     whole(self.ring_centre[1] + STEM_TOP_BELOW_CENTRE * scale),
                     right,
                     margin + square - whole(STEM_BOTTOM_MARGIN * scale))

    def inside_square(self, x, y):
        left, top, right, bottom = self.square
        if not (left <= x <= right and top <= y <= bottom):
            return False
        r = self.corner
        cx = min(max(x, left + r), right - r)
        cy = min(max(y, top + r), bottom - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    def inside_glyph(self, x, y):
        left, top, right, bottom = self.stem
        if left <= x <= right and top <= y <= bottom:
            return True
        d2 = (x - self.ring_centre[0]) ** 2 + (y - self.ring_centre[1]) ** 2
        return self.ring_inner ** 2 <= d2 <= self.ring_outer ** 2


def pixels(size):
    """Rows, top first, of straight-alpha (r, g, b, a)."""
    layout = Layout(size)
    full = SAMPLES * SAMPLES
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            face = glyph = 0
            for sy in range(SAMPLES):
                y = py + (sy + 0.5) / SAMPLES
                for sx in range(SAMPLES):
                    x = px + (sx + 0.5) / SAMPLES
                    if layout.inside_square(x, y):
                        face += 1
                        if layout.inside_glyph(x, y):
                            glyph += 1
            if face:
                t = glyph / face
                colour = tuple(round(a * (1 - t) + b * t) for a, b in zip(FACE, GLYPH))
            else:
                colour = (0, 0, 0)
            row.append(colour + (round(255 * face / full),))
        rows.append(row)
    return rows


def dib(size):
    """A 32-bit icon image: header, bottom-up BGRA rows, then the AND mask."""
    rows = pixels(size)
    mask_stride = (size + 31) // 32 * 4
    colour = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
        bits = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    # The height counts the colour and mask halves together.
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(colour), 0, 0, 0, 0)
    return header + bytes(colour) + bytes(mask)


def build_ico(sizes, kept=None):
    kept = kept or {}
    return icon_file([(size, kept[size] if size in kept else dib(size)) for size in sizes])


def main(argv):
    args = argv[1:]
    kept = None
    if len(args) == 3 and args[0] == "--keep":
        with open(args[1], "rb") as f:
            kept = images_of(f.read())
        args = args[2:]
    if len(args) != 1 or args[0].startswith("-"):
        sys.stderr.write("usage: make_window_icon.py [--keep OLD.ico] OUT.ico\n")
        return 2
    data = build_ico(SIZES, kept)
    with open(args[0], "wb") as out:
        out.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
