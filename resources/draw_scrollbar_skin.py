#!/usr/bin/env python3
"""Draws the scroll-bar skin (bitmap 231): 256 x 48 pixels, 24 bits, cells of 16 x 16.

Row 0 is the vertical bar, row 1 the same pieces for the horizontal bar (turned a quarter),
row 2 the size boxes. Columns: 0-3 first arrow and 4-7 second arrow in the states normal, hot,
pressed, disabled; 8-10 thumb and 11-13 gripper in normal, hot, pressed; 14 track.
Colours follow the program's dark lists (0x251F25) and orange accent (0x4369C9).

Run: python3 resources/draw_scrollbar_skin.py  (writes resources/scrollbar_skin.bmp)
"""
import os

from bmp_writer import write_bmp

WIDTH, HEIGHT, CELL = 256, 48, 16

TRACK = (0x2E, 0x28, 0x2E)
ARROW_FACE = [TRACK, (0x3D, 0x36, 0x3E), (0x4B, 0x42, 0x4C), TRACK]
ARROW_GLYPH = [(0x8E, 0x88, 0x90), (0xD2, 0xCD, 0xD4), (0xC9, 0x69, 0x43), (0x4C, 0x46, 0x4D)]
THUMB = [(0x5C, 0x55, 0x5E), (0x78, 0x71, 0x7A), (0xC9, 0x69, 0x43)]
GRIP_DARK = [(0x46, 0x40, 0x48), (0x5A, 0x54, 0x5C), (0x96, 0x4C, 0x2F)]
GRIP_LIGHT = [(0x7A, 0x73, 0x7C), (0x98, 0x91, 0x9A), (0xE6, 0x93, 0x70)]


def blank():
    return [[TRACK for _ in range(WIDTH)] for _ in range(HEIGHT)]


def cell_painter(image, row, column, horizontal):
    """put(x, y, colour) in the cell's own vertical-bar coordinates; horizontal cells are the
    vertical design turned so that 'up' becomes 'left'."""
    ox, oy = column * CELL, row * CELL

    def put(x, y, colour):
        if horizontal:
            x, y = y, x
        image[oy + y][ox + x] = colour

    return put


def arrow(put, state, pointing_down):
    for y in range(CELL):
        for x in range(CELL):
            inside = 1 <= x <= 14 and 1 <= y <= 14
            corner = (x in (1, 14)) and (y in (1, 14))
            put(x, y, ARROW_FACE[state] if inside and not corner else TRACK)
    # A solid triangle, 8 pixels at its base and 4 high, centred in the cell.
    for half in range(1, 5):
        y = 5 + half if not pointing_down else 10 - half
        for x in range(8 - half, 8 + half):
            put(x, y, ARROW_GLYPH[state])


def inside_thumb(x, y):
    """A bar 10 pixels wide (x 3-12) whose ends round off within the 4-pixel caps, so that the
    middle tile (y 4-11) repeats without seams."""
    if not 3 <= x <= 12:
        return False
    for cy, in_cap in ((4.0, y < 4), (11.0, y > 11)):
        if in_cap:
            return (x - 7.5) ** 2 + (y - cy) ** 2 <= 5.0 ** 2
    return True


def thumb(put, state):
    # Caps at y 0-3 and 12-15, the tile in between; the program stretches by repeating the tile.
    for y in range(CELL):
        for x in range(CELL):
            put(x, y, THUMB[state] if inside_thumb(x, y) else TRACK)


def gripper(put, state):
    for y in range(CELL):
        for x in range(CELL):
            put(x, y, THUMB[state] if 3 <= x <= 12 else TRACK)
    for y in (5, 8, 11):
        for x in range(5, 11):
            put(x, y - 1, GRIP_DARK[state])
            put(x, y, GRIP_LIGHT[state])


def track(put):
    for y in range(CELL):
        for x in range(CELL):
            put(x, y, TRACK)


def size_box(put, left_handed):
    for y in range(CELL):
        for x in range(CELL):
            put(x, y, TRACK)
    # Grip dots towards the outer bottom corner.
    for i in range(3):
        for j in range(i + 1):
            x = 12 - 3 * j if not left_handed else 3 + 3 * j
            y = 12 - 3 * (i - j)
            put(x, y, GRIP_LIGHT[0])
            put(x + (1 if not left_handed else -1), y + 1, GRIP_DARK[0])


def draw():
    image = blank()
    for row, horizontal in ((0, False), (1, True)):
        for state in range(4):
            arrow(cell_painter(image, row, state, horizontal), state, False)
            arrow(cell_painter(image, row, 4 + state, horizontal), state, True)
        for state in range(3):
            thumb(cell_painter(image, row, 8 + state, horizontal), state)
            gripper(cell_painter(image, row, 11 + state, horizontal), state)
        track(cell_painter(image, row, 14, horizontal))
    size_box(cell_painter(image, 2, 0, False), False)
    size_box(cell_painter(image, 2, 1, False), True)
    return image


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp(os.path.join(here, "scrollbar_skin.bmp"), draw())
