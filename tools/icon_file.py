"""Windows icon files (.ico) for the drawing tools: images in, one file out,
and back."""
import struct


def icon_file(images):
    """An icon file of (size, image bytes) pairs, in that order; each image
    a PNG or a 32-bit DIB with its mask."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    for size, image in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + b"".join(image for _, image in images)


def images_of(ico):
    """The images of an icon file, by size."""
    count = struct.unpack_from("<H", ico, 4)[0]
    images = {}
    for i in range(count):
        width, _, _, _, _, _, length, offset = struct.unpack_from("<BBBBHHII", ico, 6 + 16 * i)
        images[width or 256] = ico[offset:offset + length]
    return images
