#!/usr/bin/env python3
"""Draws the pictures of the program's own windows: the login dialog's skin, the main frame's
buttons and logo, the about picture, the notice bar's close button, the cover placeholder, the
library list's buttons and badges, the program icon and the frame's background picture.

Shapes are drawn here in pure Python (4 x 4 samples per pixel for smooth edges); text comes
from imagemagick's `convert` with the WenQuanYi Zen Hei font as a grey mask, so the same
glyphs render on every machine with Debian's fonts-wqy-zenhei.

Button strips hold four images side by side in the order normal, pushed, hover, disabled, on
the mask colour RGB(1, 0, 0), which the program makes transparent.

Run: python3 resources/draw_app_pictures.py   (writes resources/app/*.bmp, app.ico and
resources/images/bg.jpg)
"""
import os
import struct
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "app")
FONT = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"

MASK = (1, 0, 0)
ACCENT = (0xC9, 0x69, 0x43)       # the title colour 0x4369C9
ORANGE = (0xE4, 0x7F, 0x11)       # the login button 0x117FE4
CAPTION = (0x28, 0x21, 0x28)      # 0x282128
BAND = (0x32, 0x2B, 0x32)         # 0x322B32
LOGIN_BG = (0x38, 0x34, 0x37)     # 0x373438
LIST_BG = (0x25, 0x1F, 0x25)      # the library rows 0x251F25
LIGHT = (0xEF, 0xEF, 0xF0)
GLYPH = [(0xB4, 0xAE, 0xB6), (0xFF, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF), (0x5A, 0x54, 0x5C)]
FACE = [None, (0x5A, 0x50, 0x5C), (0x46, 0x3E, 0x48), None]


class Image:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [[colour] * width for _ in range(height)]

    def put(self, x, y, colour, alpha=1.0):
        if 0 <= x < self.width and 0 <= y < self.height and alpha > 0:
            if alpha >= 1:
                self.pixels[y][x] = colour
            else:
                old = self.pixels[y][x]
                self.pixels[y][x] = tuple(int(round(o + (c - o) * alpha))
                                          for o, c in zip(old, colour))

    def fill(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                self.pixels[y][x] = colour

    def shape(self, inside, colour, box=None):
        """Covers the pixels by the share of 16 samples for which inside(x, y) holds."""
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                hits = sum(inside(x + (i + 0.5) / 4, y + (j + 0.5) / 4)
                           for i in range(4) for j in range(4))
                self.put(x, y, colour, hits / 16.0)

    def paste(self, other, ox, oy):
        for y in range(other.height):
            for x in range(other.width):
                self.put(ox + x, oy + y, other.pixels[y][x])

    def text(self, text, size, colour, cx=None, cy=None, left=None):
        """Text centred on (cx, cy), or from x = left, vertically centred on cy."""
        mask_w, mask_h, mask = text_mask(text, size)
        x0 = left if left is not None else int(round(cx - mask_w / 2))
        y0 = int(round(cy - mask_h / 2))
        for y in range(mask_h):
            for x in range(mask_w):
                self.put(x0 + x, y0 + y, colour, mask[y * mask_w + x] / 255.0)

    def save_bmp(self, path):
        row = (self.width * 3 + 3) & ~3
        data = bytearray()
        for y in range(self.height - 1, -1, -1):
            line = bytearray()
            for r, g, b in self.pixels[y]:
                line += bytes((b, g, r))
            data += line + bytes(row - len(line))
        head = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(data),
                           2835, 2835, 0, 0)
        with open(path, "wb") as f:
            f.write(head + info + data)


def text_mask(text, size):
    pgm = subprocess.run(
        ["convert", "-background", "black", "-fill", "white", "-font", FONT,
         "-pointsize", str(size), "label:" + text, "-trim", "+repage", "-depth", "8", "pgm:-"],
        check=True, capture_output=True).stdout
    parts = pgm.split(b"\n", 3)
    width, height = (int(v) for v in parts[1].split())
    return width, height, parts[3]


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def rounded(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r_out, r_in):
    return lambda x, y: r_in * r_in <= (x - cx) ** 2 + (y - cy) ** 2 <= r_out * r_out


def triangle(ax, ay, bx, by, cx, cy):
    def side(px, py, qx, qy, x, y):
        return (qx - px) * (y - py) - (qy - py) * (x - px)

    def inside(x, y):
        s1 = side(ax, ay, bx, by, x, y)
        s2 = side(bx, by, cx, cy, x, y)
        s3 = side(cx, cy, ax, ay, x, y)
        return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)
    return inside


def thick_line(x0, y0, x1, y1, half):
    def inside(x, y):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / float(dx * dx + dy * dy)))
        px, py = x0 + t * dx, y0 + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= half * half
    return inside


def note(img, cx, cy, scale, colour):
    """A pair of quavers: two heads, two stems and a beam."""
    s = scale
    img.shape(lambda x, y: ((x - (cx - 5 * s)) / (3.2 * s)) ** 2 +
              ((y - (cy + 6 * s)) / (2.4 * s)) ** 2 <= 1, colour)
    img.shape(lambda x, y: ((x - (cx + 6 * s)) / (3.2 * s)) ** 2 +
              ((y - (cy + 4 * s)) / (2.4 * s)) ** 2 <= 1, colour)
    img.shape(lambda x, y: cx - 2.4 * s <= x <= cx - 1.0 * s and cy - 7 * s <= y <= cy + 6 * s,
              colour)
    img.shape(lambda x, y: cx + 8.6 * s <= x <= cx + 10.0 * s and cy - 9 * s <= y <= cy + 4 * s,
              colour)
    img.shape(lambda x, y: cx - 2.4 * s <= x <= cx + 10.0 * s and
              -2.6 * s <= (y - (cy - 7 * s)) + (x - (cx - 2.4 * s)) * (2.0 / 12.4) <= 0.4 * s,
              colour)


def strip(width, height, draw):
    """Four images side by side: normal, pushed, hover, disabled."""
    img = Image(width * 4, height, MASK)
    for state in range(4):
        cell = Image(width, height, MASK)
        draw(cell, state)
        img.paste(cell, state * width, 0)
    return img


def caption_button(glyph, background=None):
    def draw(cell, state):
        if FACE[state]:
            cell.shape(rounded(1, 1, 19, 19, 3), FACE[state])
        colour = GLYPH[state]
        if glyph == "close":
            cell.shape(thick_line(6, 6, 14, 14, 1.1), colour)
            cell.shape(thick_line(14, 6, 6, 14, 1.1), colour)
        elif glyph == "minimize":
            cell.shape(lambda x, y: 5 <= x <= 15 and 12.5 <= y <= 14.5, colour)
        elif glyph == "maximize":
            cell.shape(lambda x, y: 5 <= x <= 15 and 5 <= y <= 15 and
                       not (6.8 <= x <= 13.2 and 8.5 <= y <= 13.2), colour)
    return strip(20, 20, draw)


def login_caption_gradient(y):
    return lerp((0x30, 0x2B, 0x31), (0x24, 0x20, 0x25), y / 33.0)


def draw_login():
    caption = Image(8, 34, CAPTION)
    for y in range(34):
        caption.fill(0, y, 8, y + 1, login_caption_gradient(y))
    caption.fill(0, 33, 8, 34, (0x4A, 0x44, 0x4C))
    caption.save_bmp(os.path.join(OUT, "login_caption.bmp"))

    title = Image(170, 22, CAPTION)
    for y in range(22):
        title.fill(0, y, 170, y + 1, login_caption_gradient(y + 6))
    title.shape(rounded(0, 1, 20, 21, 4), ORANGE)
    note(title, 9, 11, 0.62, (255, 255, 255))
    title.text("Lirak歌词编辑器", 13, LIGHT, left=27, cy=11)
    title.save_bmp(os.path.join(OUT, "login_title.bmp"))

    banner = Image(320, 80, LOGIN_BG)
    for y in range(80):
        banner.fill(0, y, 320, y + 1, lerp((0x45, 0x3A, 0x48), LOGIN_BG, y / 79.0))
    # A sound wave of bars on the right, the program's words on the left.
    import math
    for i in range(24):
        h = 8 + 26 * abs(math.sin(i * 0.55)) * (0.5 + 0.5 * math.sin(i * 0.21 + 1))
        x = 178 + i * 5
        banner.shape(rounded(x, 40 - h / 2, x + 3, 40 + h / 2, 1.5),
                     lerp(ORANGE, (0x8A, 0x4A, 0x2A), i / 23.0))
    banner.text("歌词编辑器", 20, (255, 255, 255), left=20, cy=32)
    banner.text("为每一首歌写下时间与文字", 11, (0xB8, 0xB0, 0xBA), left=21, cy=56)
    banner.save_bmp(os.path.join(OUT, "login_banner.bmp"))

    edge = Image(3, 8, (0x4A, 0x44, 0x4C))
    edge.save_bmp(os.path.join(OUT, "login_edge.bmp"))
    line = Image(8, 2, (0x4A, 0x44, 0x4C))
    line.save_bmp(os.path.join(OUT, "login_line.bmp"))

    caption_button("close").save_bmp(os.path.join(OUT, "login_close.bmp"))
    caption_button("minimize").save_bmp(os.path.join(OUT, "login_minimize.bmp"))


def draw_frame():
    caption_button("minimize").save_bmp(os.path.join(OUT, "frame_minimize.bmp"))
    caption_button("maximize").save_bmp(os.path.join(OUT, "frame_maximize.bmp"))
    caption_button("close").save_bmp(os.path.join(OUT, "frame_close.bmp"))

    def load_song(cell, state):
        face = [ORANGE, (0xB8, 0x62, 0x0A), (0xF5, 0x9A, 0x3A), (0x5A, 0x54, 0x5C)][state]
        cell.shape(rounded(0, 0, 26, 18, 4), face)
        cell.shape(triangle(9, 4, 9, 14, 18, 9), (255, 255, 255))
    strip(26, 18, load_song).save_bmp(os.path.join(OUT, "load_song.bmp"))

    def menu(cell, state):
        if FACE[state]:
            cell.shape(rounded(1, 1, 68, 23, 4), FACE[state])
        colour = GLYPH[state]
        for y in (7, 11, 15):
            cell.shape(rounded(12, y, 24, y + 2, 1), colour)
        cell.text("菜单", 12, colour, left=31, cy=12)
    strip(69, 24, menu).save_bmp(os.path.join(OUT, "menu_button.bmp"))

    logo = Image(86, 28, ACCENT)
    for y in range(28):
        logo.fill(0, y, 86, y + 1, lerp((0xE0, 0x80, 0x4E), (0xB0, 0x52, 0x30), y / 27.0))
    note(logo, 13, 14, 0.75, (255, 255, 255))
    logo.text("Lirak", 15, (255, 255, 255), left=29, cy=14)
    logo.save_bmp(os.path.join(OUT, "logo.bmp"))


def draw_dialogs_and_bars():
    about = Image(128, 128, (0xEC, 0xE9, 0xD8))
    about.shape(rounded(8, 8, 120, 120, 22), (0xB0, 0x52, 0x30))
    about.shape(rounded(8, 8, 120, 116, 22), ORANGE)
    note(about, 62, 60, 3.0, (255, 255, 255))
    about.save_bmp(os.path.join(OUT, "about.bmp"))

    close = Image(16, 16, (0xFF, 0xE5, 0x7F))
    close.shape(thick_line(4, 4, 12, 12, 1.1), (0x80, 0x40, 0x00))
    close.shape(thick_line(12, 4, 4, 12, 1.1), (0x80, 0x40, 0x00))
    close.save_bmp(os.path.join(OUT, "notice_close.bmp"))

    cover = Image(110, 110, (0x3A, 0x33, 0x3C))
    for y in range(110):
        cover.fill(0, y, 110, y + 1, lerp((0x48, 0x40, 0x4A), (0x2C, 0x26, 0x2E), y / 109.0))
    cover.shape(ring(55, 55, 40, 14), (0x22, 0x1D, 0x23))
    cover.shape(ring(55, 55, 34, 33), (0x36, 0x30, 0x38))
    cover.shape(ring(55, 55, 26, 25), (0x36, 0x30, 0x38))
    cover.shape(disc(55, 55, 10), ACCENT)
    cover.shape(disc(55, 55, 3), (0x22, 0x1D, 0x23))
    cover.save_bmp(os.path.join(OUT, "cover_placeholder.bmp"))

    def listen(selected):
        back = (255, 0, 255) if selected else (0x25, 0x1E, 0x25)
        img = Image(50, 50, back)
        face = ORANGE if selected else (0x4A, 0x42, 0x4C)
        img.shape(disc(25, 25, 20), face)
        img.shape(ring(25, 25, 20, 18.6), ACCENT if not selected else (255, 255, 255))
        img.shape(triangle(20, 15, 20, 35, 35, 25), (255, 255, 255))
        return img
    listen(False).save_bmp(os.path.join(OUT, "listen.bmp"))
    listen(True).save_bmp(os.path.join(OUT, "listen_selected.bmp"))

    for name, text, colour in (("badge_flag", "推荐", (0xD0, 0x40, 0x40)),
                               ("badge_number", "热门", ORANGE)):
        badge = Image(50, 22, colour)
        badge.text(text, 12, (255, 255, 255), cx=25, cy=11)
        badge.save_bmp(os.path.join(OUT, name + ".bmp"))


def icon_image(size):
    """32-bit BGRA pixels, bottom-up, of the program icon at one size."""
    img = Image(size, size, (0, 0, 0))
    cover = [[0.0] * size for _ in range(size)]
    inside = rounded(0.5, 0.5, size - 0.5, size - 0.5, size * 0.22)
    for y in range(size):
        for x in range(size):
            cover[y][x] = sum(inside(x + (i + 0.5) / 4, y + (j + 0.5) / 4)
                              for i in range(4) for j in range(4)) / 16.0
            img.pixels[y][x] = lerp((0xF0, 0x90, 0x40), (0xC0, 0x58, 0x18), y / float(size))
    note(img, size * 0.44, size * 0.5, size / 30.0, (255, 255, 255))
    data = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            r, g, b = img.pixels[y][x]
            data += bytes((b, g, r, int(round(cover[y][x] * 255))))
    mask_row = ((size + 31) // 32) * 4
    data += bytes(mask_row * size)  # the AND mask: the alpha channel decides
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(data), 0, 0, 0, 0)
    return header + data


def draw_icon():
    sizes = (16, 32, 48)
    images = [icon_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(os.path.join(OUT, "app.ico"), "wb") as f:
        f.write(out + b"".join(images))


def draw_background():
    """images\\bg.jpg beside the program: the frame's dark backdrop."""
    bg = Image(1020, 720, BAND)
    for y in range(720):
        bg.fill(0, y, 1020, y + 1, lerp((0x2E, 0x28, 0x30), (0x22, 0x1D, 0x23), y / 719.0))
    folder = os.path.join(HERE, "images")
    os.makedirs(folder, exist_ok=True)
    tmp = os.path.join(folder, "bg.tmp.bmp")
    bg.save_bmp(tmp)
    subprocess.run(["convert", tmp, "-quality", "90", os.path.join(folder, "bg.jpg")], check=True)
    os.unlink(tmp)


def main():
    os.makedirs(OUT, exist_ok=True)
    draw_login()
    draw_frame()
    draw_dialogs_and_bars()
    draw_icon()
    draw_background()


if __name__ == "__main__":
    main()
