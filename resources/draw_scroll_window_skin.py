#!/usr/bin/env python3
"""Draws the skin of the skinned scroll-bar windows (bitmap 401): nine square cells of 16 x 16
in a row, three rows for the states normal, hot and pressed; 144 x 48 pixels, 24 bits.

Columns: 0 up arrow, 1 down arrow, 2 thumb, 3 track of the vertical bar; 4 left arrow, 5 right
arrow, 6 thumb, 7 track of the horizontal bar; 8 the corner between the two bars. A thumb is
drawn with 3-pixel end caps and its middle (pixels 3 to 12) repeated. Arrows and colours are
those of the scroll-bar skin (bitmap 231), so both kinds of skinned bars look alike.

Run: python3 resources/draw_scroll_window_skin.py  (writes resources/scroll_window_skin.bmp)
"""
import os

from bmp_writer import touch, write_bmp
from draw_scrollbar_skin import CELL, THUMB, TRACK, arrow, cell_painter, size_box, track

COLUMNS, ROWS = 9, 3
CAP = 3


def inside_thumb(x, y):
    """A bar 10 pixels wide (x 3-12) whose ends round off within the caps."""
    if not 3 <= x <= 12:
        return False
    for cy, in_cap in ((4.5, y < CAP), (10.5, y > CELL - 1 - CAP)):
        if in_cap:
            return (x - 7.5) ** 2 + (y - cy) ** 2 <= 5.2 ** 2
    return True


def thumb(put, state):
    for y in range(CELL):
        for x in range(CELL):
            put(x, y, THUMB[state] if inside_thumb(x, y) else TRACK)


def draw():
    image = [[TRACK] * (COLUMNS * CELL) for _ in range(ROWS * CELL)]
    for state in range(ROWS):
        for first, horizontal in ((0, False), (4, True)):
            arrow(cell_painter(image, state, first, horizontal), state, False)
            arrow(cell_painter(image, state, first + 1, horizontal), state, True)
            thumb(cell_painter(image, state, first + 2, horizontal), state)
            track(cell_painter(image, state, first + 3, horizontal))
        size_box(cell_painter(image, state, 8, False), False)
    return image


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp(os.path.join(here, "scroll_window_skin.bmp"), draw())
    touch(os.path.join(here, "skin_controls.rc"))
