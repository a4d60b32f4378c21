#!/usr/bin/env python3
"""Draws the skinned menus' image strip (bitmap 400): five images of 10 x 24 side by side,
24 bits, pure red (the menus' mask colour) where the menu shows through.

A skinned menu draws an item's image at the item's top-left corner, in an image column as wide
as the menu's extra width (10 px), and starts the item's text 8 px in: each glyph is a 7 x 7
mark at the left of its image, vertically centred in the 24 px item, so that a pixel of the
face stays between the mark and the text. Images: 0 play, 1 edit,
2 upload, 3 delete, 4 open. Glyphs are designed on a 24 x 24 grid (16 x 16 in the middle) and
scaled down with smoothing against the light grey of the menus' faces, so they look clean on
the white face and on the selected grey alike.

Run: python3 resources/draw_menu_images.py  (writes resources/menu_images.bmp)
"""
import os

from bmp_writer import mix, touch, write_bmp

WIDTH, HEIGHT, COUNT, SAMPLES = 10, 24, 5, 6
GLYPH_SIZE, GLYPH_TOP = 7, 9  # the 16 x 16 design square at (4, 4) lands on (0, 9)
MASK = (0xFF, 0x00, 0x00)
FACE = (0xE4, 0xE4, 0xE4)
ACCENT = (0xE2, 0x6A, 0x1E)
DARK = (0x4A, 0x44, 0x4C)
FOLDER = (0xE8, 0xA8, 0x30)
FOLDER_DARK = (0xB8, 0x7A, 0x18)


def in_polygon(x, y, points):
    inside = False
    for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            inside = not inside
    return inside


def near_segment(x, y, a, b, width):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    px, py = ax + t * dx, ay + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2


# Each glyph: a list of (colour, test(x, y)) on the 24 x 24 design grid; later layers cover
# earlier ones.
GLYPHS = [
    [(ACCENT, lambda x, y: in_polygon(x, y, [(8, 5), (19, 12), (8, 19)]))],
    [
        (DARK, lambda x, y: near_segment(x, y, (8.5, 15.5), (17, 7), 4.2)),
        (ACCENT, lambda x, y: in_polygon(x, y, [(5, 19), (6.2, 14.6), (9.4, 17.8)])),
        (ACCENT, lambda x, y: near_segment(x, y, (16.2, 7.8), (17.8, 6.2), 4.2)),
    ],
    [
        (ACCENT, lambda x, y: in_polygon(x, y, [(12, 4), (18, 10.5), (14.2, 10.5), (14.2, 15),
                                                 (9.8, 15), (9.8, 10.5), (6, 10.5)])),
        (DARK, lambda x, y: 5 <= x <= 19 and 17.5 <= y <= 19.5),
    ],
    [
        (DARK, lambda x, y: near_segment(x, y, (7, 7), (17, 17), 3.2)),
        (DARK, lambda x, y: near_segment(x, y, (17, 7), (7, 17), 3.2)),
    ],
    [
        (FOLDER_DARK, lambda x, y: in_polygon(x, y, [(4, 7), (9, 7), (11, 9), (19, 9), (19, 18),
                                                      (4, 18)])),
        (FOLDER, lambda x, y: in_polygon(x, y, [(6.5, 11), (21, 11), (18.5, 18), (4, 18)])),
    ],
]


def pixel(glyph, px, py):
    """The pixel's colour: the glyph's layers sampled SAMPLES x SAMPLES times."""
    colours = []
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            # Back to the design grid: 16 design units per GLYPH_SIZE pixels.
            scale = 16 / GLYPH_SIZE
            x = 4 + (px + (sx + 0.5) / SAMPLES) * scale
            y = 4 + (py - GLYPH_TOP + (sy + 0.5) / SAMPLES) * scale
            hit = None
            for colour, test in glyph:
                if test(x, y):
                    hit = colour
            colours.append(hit)
    covered = [c for c in colours if c]
    if not covered:
        return MASK
    average = tuple(sum(c[i] for c in covered) / len(covered) for i in range(3))
    return mix(FACE, average, len(covered) / len(colours))


def draw():
    image = [[MASK] * (WIDTH * COUNT) for _ in range(HEIGHT)]
    for index, glyph in enumerate(GLYPHS):
        for y in range(HEIGHT):
            for x in range(WIDTH):
                image[y][index * WIDTH + x] = pixel(glyph, x, y)
    return image


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp(os.path.join(here, "menu_images.bmp"), draw())
    touch(os.path.join(here, "skin_controls.rc"))
