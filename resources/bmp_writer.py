"""Writes 24-bit BMP files from rows of (r, g, b) tuples; shared by the drawing scripts."""
import os
import struct


def write_bmp(path, image):
    height, width = len(image), len(image[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for y in reversed(range(height)):  # bottom-up rows
        row = bytearray()
        for r, g, b in image[y]:
            row += bytes((b, g, r))
        pixels += row + bytes(stride - len(row))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + pixels)


def touch(path):
    """Marks a resource script as changed: the resource compiler reports no dependencies, so a
    build would not notice a redrawn picture otherwise."""
    os.utime(path)


def mix(a, b, t):
    """a blended towards b by t (0..1)."""
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))
