#!/usr/bin/env python3
"""Draws the skinned lists' header pictures: the background (bitmap 210, 8 x 27, stretched over
the whole header) and the separator between the items (bitmap 209, 2 x 27, drawn as it is).

The header sits on the dark lists (rows 0x251F25) and carries its texts in the orange accent
(0x4369C9), so the background is a dark plum band, a little lighter than the rows, lit at the
top and closed by a dark line at the bottom; the separator is an engraved pair of lines that
fades out towards both ends.

Run: python3 resources/draw_header_skin.py  (writes resources/header_background.bmp and
resources/header_separator.bmp)
"""
import os

from bmp_writer import mix, touch, write_bmp

HEIGHT = 27
TOP = (0x40, 0x39, 0x42)
BOTTOM = (0x2C, 0x26, 0x2D)
HIGHLIGHT = (0x55, 0x4D, 0x57)
SHADOW = (0x18, 0x14, 0x19)
GROOVE_DARK = (0x1C, 0x18, 0x1D)
GROOVE_LIGHT = (0x5A, 0x52, 0x5C)


def background_row(y):
    if y == 0:
        return HIGHLIGHT
    if y == HEIGHT - 1:
        return SHADOW
    return mix(TOP, BOTTOM, (y - 1) / (HEIGHT - 3))


def background():
    return [[background_row(y) for _ in range(8)] for y in range(HEIGHT)]


def separator():
    image = []
    for y in range(HEIGHT):
        base = background_row(y)
        # Full strength in the middle, fading over the 6 pixels at each end.
        strength = min(1.0, min(y, HEIGHT - 1 - y) / 6.0)
        image.append([mix(base, GROOVE_DARK, strength), mix(base, GROOVE_LIGHT, strength)])
    return image


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp(os.path.join(here, "header_background.bmp"), background())
    write_bmp(os.path.join(here, "header_separator.bmp"), separator())
    touch(os.path.join(here, "skin_controls.rc"))
