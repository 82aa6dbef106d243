#!/usr/bin/env python3
"""Makes the pictures that the picture loader's tests decode.

    make_pictures.py OUT_DIR INFO_ICON.png

Sources are drawn here as exact pixels, encoded by ImageMagick into every
format and depth the loader reads (plus a 1-bit PCX written here, which
ImageMagick does not write), and decoded again by ImageMagick: its pixels are
what the loader's must match. OUT_DIR receives each picture as a file (the
fuzz targets take them as seeds) and pictures.cpp, which holds them all with
their expected pixels.
"""
import os
import subprocess
import sys

CONVERT = "/usr/bin/convert"  # a stand-in named convert may come first on PATH


def pam(path, width, height, pixels, alpha):
    depth, kind = (4, b"RGB_ALPHA") if alpha else (3, b"RGB")
    header = b"P7\nWIDTH %d\nHEIGHT %d\nDEPTH %d\nMAXVAL 255\nTUPLTYPE %s\nENDHDR\n" % (width, height, depth, kind)
    with open(path, "wb") as f:
        f.write(header + bytes(pixels))


def marked(x, y, width, height, colour):
    """Every source has a red block at the top left and a white pixel at the
    bottom right, so a picture turned over or mirrored cannot pass."""
    if x < 6 and y < 4:
        return (255, 0, 0)
    if x == width - 1 and y == height - 1:
        return (255, 255, 255)
    return colour


def truecolour(width, height):
    out = []
    for y in range(height):
        for x in range(width):
            c = (x * 255 // (width - 1), y * 255 // (height - 1), (x * 7 + y * 13) % 256)
            out += marked(x, y, width, height, c)
    return out


def with_alpha(width, height):
    """Alpha runs from 0 at the left to 255 at the right; the last row is
    opaque."""
    colours = truecolour(width, height)
    out = []
    for i in range(width * height):
        x, y = i % width, i // width
        a = 255 if y == height - 1 else x * 255 // (width - 1)
        out += colours[3 * i:3 * i + 3] + [a]
    return out


def paletted(width, height, levels):
    out = []
    step = 255 // (levels - 1)
    for y in range(height):
        for x in range(width):
            c = ((x % levels) * step, (y % levels) * step, ((x + y) // levels % 3) * 120)
            out += marked(x, y, width, height, c)
    return out


def bilevel(width, height):
    out = []
    for y in range(height):
        for x in range(width):
            on = (x * x + y * 3) % 7 < 3 or (x < 6 and y < 4)
            out += (255, 255, 255) if on else (0, 0, 0)
    return out


def noise(width, height):
    """256 colours in no order: LZW tables fill up and start again."""
    out, state = [], 12345
    palette = [((i * 37) % 256, (i * 91) % 256, (i * 173) % 256) for i in range(256)]
    for y in range(height):
        for x in range(width):
            state = (state * 1103515245 + 12345) & 0x7FFFFFFF
            # Runs of equal pixels now and then, so long codes occur too.
            index = (state >> 16) % 256 if (state >> 8) % 4 else (x // 5) % 256
            out += palette[index]
    return out


def icon_disc(size):
    """A blue disc with a yellow square, transparent (alpha 0) around the
    disc and opaque on it."""
    out = []
    c = (size - 1) / 2
    for y in range(size):
        for x in range(size):
            inside = (x - c) ** 2 + (y - c) ** 2 <= (size * 0.45) ** 2
            if not inside:
                out += (0, 0, 0, 0)
            elif size // 4 <= x < size // 2 and size // 4 <= y < size // 2:
                out += (250, 220, 20, 255)
            else:
                out += (30, 90, 200, 255)
    return out


def pcx_monochrome(path, width, height, pixels):
    """Version 3, 1 bit, 1 plane, run-length coded; the header's first two
    palette entries black and white."""
    line = (width + 15) // 16 * 2
    header = bytearray(128)
    header[0:4] = bytes((0x0A, 3, 1, 1))
    for i, v in enumerate((0, 0, width - 1, height - 1, 72, 72)):
        header[4 + 2 * i:6 + 2 * i] = v.to_bytes(2, "little")
    header[16 + 3:16 + 6] = b"\xff\xff\xff"
    header[65] = 1
    header[66:68] = line.to_bytes(2, "little")
    header[68:70] = (1).to_bytes(2, "little")
    body = bytearray()
    for y in range(height):
        row = bytearray(line)
        for x in range(width):
            if pixels[3 * (y * width + x)]:
                row[x // 8] |= 0x80 >> (x % 8)
        i = 0
        while i < len(row):
            n = 1
            while i + n < len(row) and row[i + n] == row[i] and n < 63:
                n += 1
            if n > 1 or row[i] >= 192:  # 192 itself would read as an empty run elsewhere
                body += bytes((192 + n, row[i]))
            else:
                body.append(row[i])
            i += n
    with open(path, "wb") as f:
        f.write(bytes(header) + bytes(body))


def run(*args):
    subprocess.run([CONVERT, *args], check=True)


def decode(path):
    """ImageMagick's reading: width, height and R, G, B, A bytes."""
    size = subprocess.run(["/usr/bin/identify", "-format", "%w %h", path], check=True, capture_output=True, text=True)
    width, height = map(int, size.stdout.split())
    rgba = subprocess.run([CONVERT, path, "-depth", "8", "RGBA:-"], check=True, capture_output=True).stdout
    if len(rgba) != width * height * 4:
        raise SystemExit(f"{path}: {len(rgba)} bytes for {width}x{height}")
    return width, height, rgba


def c_array(name, data):
    lines = []
    for i in range(0, len(data), 24):
        lines.append("".join(f"{b}," for b in data[i:i + 24]))
    return f"const uint8_t {name}[] = {{\n" + "\n".join(lines) + "0};\n"


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    out, info_icon = argv[1], argv[2]
    os.makedirs(out, exist_ok=True)
    src = os.path.join(out, "sources")
    os.makedirs(src, exist_ok=True)

    def source(name, width, height, pixels, alpha=False):
        path = os.path.join(src, name + ".pam")
        pam(path, width, height, pixels, alpha)
        return path

    W, H = 37, 23  # odd sizes: rows need padding in every format
    rgb = source("rgb", W, H, truecolour(W, H))
    rgba = source("rgba", W, H, with_alpha(W, H), alpha=True)
    pal8 = source("pal8", W, H, paletted(W, H, 8))
    pal4 = source("pal4", W, H, paletted(W, H, 2))  # at most 12 colours
    mono = bilevel(W, H)
    mono_src = source("mono", W, H, mono)
    noisy = source("noise", 161, 121, noise(161, 121))
    second = source("second", W, H, paletted(W, H, 4)[::-1])
    edge = source("alpha_edge", 4, 1, [0, 0, 0, 128, 0, 0, 0, 0, 255, 255, 255, 128, 10, 20, 30, 255], alpha=True)
    disc48 = source("disc48", 48, 48, icon_disc(48), alpha=True)
    disc32 = source("disc32", 32, 32, icon_disc(32), alpha=True)
    disc16 = source("disc16", 16, 16, icon_disc(16), alpha=True)

    # name -> (file, source of the expected pixels); the source defaults to
    # the file itself.
    pictures = {}

    def make(name, ext, *args, reference=None):
        path = os.path.join(out, name + "." + ext)
        run(*args[:-1], args[-1] + path)
        pictures[name] = (path, reference or path)

    # Without ImageMagick's time chunks the files are the same at every build.
    png = ("-define", "png:exclude-chunks=date,time")
    make("png_rgba", "png", rgba, *png, "PNG32:")
    make("png_rgb", "png", rgb, *png, "PNG24:")
    make("png_palette", "png", pal8, *png, "-type", "Palette", "PNG8:")
    make("png_grey", "png", rgb, *png, "-colorspace", "Gray", "-type", "Grayscale", "PNG:")
    make("png_rgba16", "png", rgba, *png, "-depth", "16", "PNG64:")
    make("png_interlaced", "png", rgba, *png, "-interlace", "PNG", "PNG32:")
    make("png_alpha_edge", "png", edge, *png, "PNG32:")
    info = os.path.join(out, "info16.png")
    with open(info_icon, "rb") as f, open(info, "wb") as g:
        g.write(f.read())
    pictures["info16"] = (info, info)

    make("jpeg_rgb", "jpg", rgb, "-quality", "92", "-sampling-factor", "1x1", "JPEG:")
    make("jpeg_420", "jpg", rgb, "-quality", "85", "-sampling-factor", "2x2", "JPEG:")
    make("jpeg_grey", "jpg", rgb, "-colorspace", "Gray", "-type", "Grayscale", "JPEG:")
    make("jpeg_progressive", "jpg", rgb, "-interlace", "JPEG", "-quality", "90", "JPEG:")
    make("jpeg_cmyk", "jpg", rgb, "-colorspace", "CMYK", "JPEG:")

    make("bmp1", "bmp", mono_src, "-type", "Bilevel", "-compress", "None", "BMP3:")
    make("bmp4", "bmp", pal4, "-type", "Palette", "-compress", "None", "BMP3:")
    make("bmp8", "bmp", pal8, "-type", "Palette", "-compress", "None", "BMP3:")
    make("bmp8_v5", "bmp", pal8, "-type", "Palette", "-compress", "None", "BMP:")
    make("bmp_rle8", "bmp", pal8, "-type", "Palette", "-compress", "RLE", "BMP3:")
    make("bmp24", "bmp", rgb, "-type", "TrueColor", "-compress", "None", "BMP3:")
    make("bmp32", "bmp", rgba, "-define", "bmp3:alpha=true", "-compress", "None", "BMP3:")

    make("gif89", "gif", pal8, "GIF:")
    make("gif87", "gif", pal8, "GIF87:")
    make("gif_interlaced", "gif", pal8, "-interlace", "GIF", "GIF:")
    make("gif_small", "gif", pal4, "GIF:")
    make("gif_noise", "gif", noisy, "GIF:")
    animated = os.path.join(out, "gif_animated.gif")
    run("-delay", "10", pal8, second, "-loop", "0", "GIF:" + animated)
    pictures["gif_animated"] = (animated, animated + "[0]")

    make("ico48", "ico", disc48, "ICO:")
    icons = os.path.join(out, "ico_multi.ico")
    run(disc16, disc32, disc48, "ICO:" + icons)
    # No entry has the 16 colours or more that the loader looks for in a
    # 32-pixel entry: it takes the last one.
    pictures["ico_multi"] = (icons, icons + "[2]")
    # ImageMagick writes its cursors with the icon type.
    make("cur32", "cur", disc32, "CUR:")
    with open(pictures["cur32"][0], "r+b") as f:
        f.seek(2)
        f.write(b"\x02\x00")

    make("pcx8", "pcx", pal8, "-type", "Palette", "PCX:")
    pcx1 = os.path.join(out, "pcx1.pcx")
    pcx_monochrome(pcx1, W, H, mono)
    # ImageMagick reads set bits as black; in PCX (and for the loader) they
    # are white, so the expected pixels are the source's own.
    pictures["pcx1"] = (pcx1, (W, H, bytes(sum((mono[3 * i:3 * i + 3] + [255] for i in range(W * H)), []))))

    # All of them with ImageMagick's pixels, for the tests.
    parts = ['// Generated by tests/picture/make_pictures.py.\n#include "tests/picture/test_pictures.h"\n\nnamespace {\n']
    rows = []
    for i, (name, (path, reference)) in enumerate(sorted(pictures.items())):
        with open(path, "rb") as f:
            data = f.read()
        width, height, pixels = decode(reference) if isinstance(reference, str) else reference
        parts.append(c_array(f"kFile{i}", data))
        parts.append(c_array(f"kPixels{i}", pixels))
        rows.append(f'  {{"{name}", kFile{i}, {len(data)}, {width}, {height}, kPixels{i}}},\n')
    parts.append("}  // namespace\n\nextern const TestPicture kTestPictures[] = {\n")
    parts += rows
    parts.append("};\nextern const size_t kTestPictureCount = sizeof kTestPictures / sizeof kTestPictures[0];\n")
    with open(os.path.join(out, "pictures.cpp"), "w") as f:
        f.write("".join(parts))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
