#!/usr/bin/env python3
"""Draws every bitmap the game loads, and its window icon, into data/.

Deterministic and stdlib only: running it again reproduces the files byte for byte.
One look throughout: a deep night-blue ground with a faint grid, glossy bevelled blocks in
seven colours, dark field panels, framed menu panels, a block-lettered title, a light cursor.
Black (0, 0, 0) is transparent in the game's keyed copies, so every pixel meant to be seen
keeps a colour that stays non-zero in 16-bit 5-6-5.
"""

import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(ROOT, "data")

BLOCK_COLOURS = {
    "green": (70, 205, 90),
    "red": (225, 60, 60),
    "blue": (60, 110, 235),
    "yellow": (245, 205, 50),
    "white": (228, 230, 238),
    "purple": (150, 80, 215),
    "pink": (240, 115, 190),
}

TRANSPARENT = (0, 0, 0)


# ---- Pictures and colours ----

class Picture:
    def __init__(self, width, height, colour=TRANSPARENT):
        self.width = width
        self.height = height
        self.pixels = [colour] * (width * height)

    def get(self, x, y):
        return self.pixels[y * self.width + x]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y * self.width + x] = colour

    def fill(self, left, top, right, bottom, colour):
        for y in range(max(top, 0), min(bottom, self.height)):
            for x in range(max(left, 0), min(right, self.width)):
                self.pixels[y * self.width + x] = colour

    def paste(self, other, left, top):
        for y in range(other.height):
            for x in range(other.width):
                colour = other.get(x, y)
                if colour != TRANSPARENT:
                    self.put(left + x, top + y, colour)

    def transposed(self):
        out = Picture(self.height, self.width)
        for y in range(self.height):
            for x in range(self.width):
                out.put(y, x, self.get(x, y))
        return out


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def scale(colour, factor):
    return tuple(min(255, int(round(c * factor))) for c in colour)


def visible(colour):
    """Nudges a colour so that its 5-6-5 value is never the transparent 0."""
    r, g, b = colour
    if (r >> 3) == 0 and (g >> 2) == 0 and (b >> 3) == 0:
        b = 8
    return (r, g, b)


class Random:
    """A small fixed generator, so the stars fall in the same places on every run."""

    def __init__(self, seed):
        self.state = seed

    def next(self, n):
        self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
        return (self.state >> 8) % n


# ---- Blocks ----

def block(size, colour):
    """A glossy bevelled block: light top and left edges, dark bottom and right, a shine."""
    pic = Picture(size, size)
    bevel = max(2, size // 8)
    outline = scale(colour, 0.42)
    light = mix(colour, (255, 255, 255), 0.5)
    dark = scale(colour, 0.62)
    top_face = mix(colour, (255, 255, 255), 0.18)
    bottom_face = scale(colour, 0.86)
    for y in range(size):
        for x in range(size):
            if x == 0 or y == 0 or x == size - 1 or y == size - 1:
                c = outline
            elif x < bevel + 1 and y < size - 1 - x or y < bevel + 1 and x < size - 1 - y:
                c = light
            elif x >= size - 1 - bevel or y >= size - 1 - bevel:
                c = dark
            else:
                c = mix(top_face, bottom_face, (y - bevel) / max(1, size - 2 * bevel - 2))
                # The shine: a soft oval in the upper left of the face.
                dx = (x - size * 0.38) / (size * 0.26)
                dy = (y - size * 0.32) / (size * 0.16)
                d = dx * dx + dy * dy
                if d < 1.0:
                    c = mix(c, (255, 255, 255), 0.42 * (1.0 - d))
            pic.put(x, y, visible(c))
    return pic


# ---- Backgrounds and panels ----

def night_sky(width, height):
    pic = Picture(width, height)
    top, bottom = (10, 14, 44), (24, 30, 78)
    grid = (34, 44, 100)
    for y in range(height):
        row_colour = mix(top, bottom, y / (height - 1))
        for x in range(width):
            c = row_colour
            if x % 32 == 0 or y % 32 == 0:
                c = mix(row_colour, grid, 0.55)
            pic.put(x, y, visible(c))
    stars = Random(1987)
    for _ in range(width * height // 2400):
        x, y = stars.next(width), stars.next(height)
        glow = 120 + stars.next(120)
        pic.put(x, y, (glow, glow, min(255, glow + 30)))
    return pic


def field_panel(width, height, tint):
    """A dark play field: one cell per 16 pixels, thin grid lines, a slightly lit centre."""
    pic = Picture(width, height)
    base = mix((12, 16, 40), tint, 0.12)
    line = mix((34, 46, 104), tint, 0.25)
    for y in range(height):
        for x in range(width):
            cx = (x + 0.5) / width - 0.5
            cy = (y + 0.5) / height - 0.5
            c = mix(base, scale(base, 1.45), max(0.0, 1.0 - 2.2 * (cx * cx + cy * cy)))
            if x % 16 == 0 or y % 16 == 0:
                c = line
            pic.put(x, y, visible(c))
    return pic


def menu_panel(width, height):
    """A dark framed panel; white text sits on it."""
    pic = Picture(width, height)
    top, bottom = (20, 28, 70), (12, 16, 46)
    frame = [(48, 72, 150), (120, 160, 240), (80, 112, 200), (30, 42, 96)]
    for y in range(height):
        c = mix(top, bottom, y / (height - 1))
        for x in range(width):
            pic.put(x, y, visible(c))
    for i, colour in enumerate(frame):
        pic.fill(i, i, width - i, i + 1, colour)
        pic.fill(i, height - 1 - i, width - i, height - i, colour)
        pic.fill(i, i, i + 1, height - i, colour)
        pic.fill(width - 1 - i, i, width - i, height - i, colour)
    # Small block studs in the corners tie the panels to the play field.
    stud = block(8, BLOCK_COLOURS["blue"])
    for x, y in ((6, 6), (width - 14, 6), (6, height - 14), (width - 14, height - 14)):
        pic.paste(stud, x, y)
    return pic


def flash_strips():
    """Six 16-pixel steps of one row, from a pale glow up to white."""
    pic = Picture(160, 96)
    start = (90, 130, 220)
    for k in range(6):
        level = mix(start, (255, 255, 255), k / 5)
        for y in range(16):
            edge = abs(y - 7.5) / 7.5
            c = mix(level, scale(level, 0.72), edge * edge * (1.0 - k / 5))
            for x in range(160):
                pic.put(x, 16 * k + y, visible(c))
    return pic


# ---- Title and cursor ----

LETTERS = {
    "C": [".####.", "##..##", "##....", "##....", "##....", "##..##", ".####."],
    "R": ["#####.", "##..##", "##..##", "#####.", "##.##.", "##..##", "##..##"],
    "O": [".####.", "##..##", "##..##", "##..##", "##..##", "##..##", ".####."],
    "S": [".#####", "##....", "##....", ".####.", "....##", "....##", "#####."],
    "F": ["######", "##....", "##....", "#####.", "##....", "##....", "##...."],
    "A": ["..##..", ".####.", "##..##", "##..##", "######", "##..##", "##..##"],
    "L": ["##....", "##....", "##....", "##....", "##....", "##....", "######"],
}


def title(word="CROSSFALL"):
    """The name in letters built from small blocks, with a soft shadow."""
    width, height, cell, gap = 736, 80, 9, 12
    pic = Picture(width, height)
    order = ["red", "yellow", "green", "blue", "purple", "pink", "white"]
    text_width = len(word) * 6 * cell + (len(word) - 1) * gap
    left = (width - text_width) // 2
    top = (height - 7 * cell) // 2 - 2
    shadow = (14, 18, 52)
    for pass_shadow in (True, False):
        for i, letter in enumerate(word):
            x0 = left + i * (6 * cell + gap)
            tile = block(cell, BLOCK_COLOURS[order[i % len(order)]])
            for row, bits in enumerate(LETTERS[letter]):
                for col, bit in enumerate(bits):
                    if bit != "#":
                        continue
                    x, y = x0 + col * cell, top + row * cell
                    if pass_shadow:
                        pic.fill(x + 4, y + 4, x + cell + 4, y + cell + 4, shadow)
                    else:
                        pic.paste(tile, x, y)
    return pic


ARROW = [
    "O...............",
    "OO..............",
    "OWO.............",
    "OWWO............",
    "OWWWO...........",
    "OWWWWO..........",
    "OWWWWWO.........",
    "OWWWWWWO........",
    "OWWWWWWWO.......",
    "OWWWWWWWWO......",
    "OWWWWWOOOOO.....",
    "OWWOWWO.........",
    "OWO.OWWO........",
    "OO..OWWO........",
    "O....OWWO.......",
    ".....OOO........",
]


def cursor():
    pic = Picture(16, 16)
    outline = (40, 52, 120)
    for y, row in enumerate(ARROW):
        for x, ch in enumerate(row):
            if ch == "O":
                pic.put(x, y, outline)
            elif ch == "W":
                pic.put(x, y, mix((250, 252, 255), (190, 210, 245), y / 15))
    return pic


def icon(size):
    """Five blocks in a cross, one in each arm and the centre."""
    pic = Picture(size, size)
    cell = size // 3
    margin = (size - 3 * cell) // 2
    places = [((1, 0), "green"), ((0, 1), "red"), ((1, 1), "yellow"), ((2, 1), "blue"), ((1, 2), "purple")]
    for (cx, cy), name in places:
        pic.paste(block(cell, BLOCK_COLOURS[name]), margin + cx * cell, margin + cy * cell)
    return pic


# ---- Files ----

def bmp_bytes(pic):
    row_size = (pic.width * 3 + 3) & ~3
    image_size = row_size * pic.height
    header = struct.pack("<2sIHHI", b"BM", 54 + image_size, 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, pic.width, pic.height, 1, 24, 0, image_size, 2835, 2835, 0, 0)
    rows = []
    for y in range(pic.height - 1, -1, -1):
        row = bytearray()
        for x in range(pic.width):
            r, g, b = pic.get(x, y)
            row += bytes((b, g, r))
        row += bytes(row_size - len(row))
        rows.append(bytes(row))
    return header + info + b"".join(rows)


def png_bytes(pic):
    """RGBA PNG; the transparent black becomes alpha 0."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    raw = bytearray()
    for y in range(pic.height):
        raw.append(0)
        for x in range(pic.width):
            c = pic.get(x, y)
            raw += bytes(c) + (b"\x00" if c == TRANSPARENT else b"\xff")
    header = struct.pack(">IIBBBBB", pic.width, pic.height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


# ---- Block symbols ----

# One shape a kind, in the kinds' order, drawn dark on the block's face when "Block symbols" is on.
# Of ten candidate shapes, the seven placed so that the two kinds least apart, in grey or with any
# colour blindness, still differ clearly in the most pixels (tools/block_colours.py measures it).
SYMBOL_SHAPES = {
    "green": ["..####..", ".#....#.", "#......#", "#......#", "#......#", "#......#", ".#....#.", "..####.."],
    "red": ["##....##", "###..###", ".######.", "..####..", "..####..", ".######.", "###..###", "##....##"],
    "blue": ["...##...", "...##...", "...##...", "########", "########", "...##...", "...##...", "...##..."],
    "yellow": ["...##...", "...##...", "..####..", "..####..", ".######.", ".######.", "########", "########"],
    "white": ["##....##", "##....##", "........", "........", "........", "........", "##....##", "##....##"],
    "purple": ["########", "#......#", "#......#", "#......#", "#......#", "#......#", "#......#", "########"],
    "pink": ["...##...", "..####..", ".######.", "########", "########", ".######.", "..####..", "...##..."],
}
SYMBOL_INK = (20, 20, 28)


def symbols():
    """The seven 16 x 16 symbol tiles side by side, see-through but for the shape in the middle."""
    pic = Picture(16 * len(BLOCK_COLOURS), 16)
    for k, name in enumerate(BLOCK_COLOURS):
        for y, row in enumerate(SYMBOL_SHAPES[name]):
            for x, mark in enumerate(row):
                if mark == "#":
                    pic.put(16 * k + 4 + x, 4 + y, visible(SYMBOL_INK))
    return pic


# ---- The replay mark ----

REPLAY_MARK = [
    "..#.......",
    "..##......",
    "..###.....",
    "..####....",
    "..#####...",
    "..#####...",
    "..####....",
    "..###.....",
    "..##......",
    "..#.......",
]


def replay_mark():
    """A 10 x 10 "play" triangle, green with a darker edge, beside a table row whose game can be watched."""
    pic = Picture(10, 10)
    for y, row in enumerate(REPLAY_MARK):
        for x, mark in enumerate(row):
            if mark != "#":
                continue
            edge = x == 2 or row[x + 1] != "#" or y in (0, 9)
            pic.put(x, y, visible((20, 140, 40) if edge else (90, 235, 110)))
    return pic


def main():
    pictures = {}
    for name, colour in BLOCK_COLOURS.items():
        pictures[name + "Box.bmp"] = block(16, colour)
    pictures["symbols.bmp"] = symbols()
    strips = flash_strips()
    pictures["animRow.bmp"] = strips
    pictures["animCol.bmp"] = strips.transposed()
    pictures["bg1.bmp"] = night_sky(800, 600)
    tints = {0: (60, 110, 235), 1: (40, 190, 200), 2: (150, 80, 215), 3: (70, 205, 90), 5: (60, 110, 235),
             6: (240, 115, 190)}
    for number, tint in tints.items():
        panel = field_panel(160, 320, tint)
        pictures["bgDir%d.bmp" % number] = panel.transposed() if number in (1, 3) else panel
    pictures["menuLeft.bmp"] = menu_panel(200, 400)
    pictures["menuRight.bmp"] = menu_panel(320, 400)
    pictures["mouse.bmp"] = cursor()
    pictures["replayMark.bmp"] = replay_mark()
    pictures["mainLogo.bmp"] = title()
    pictures["icon.bmp"] = icon(64)
    for name, pic in pictures.items():
        write(os.path.join(DATA, name), bmp_bytes(pic))
    for size in (48, 64, 128, 256):
        write(os.path.join(DATA, "icons", "crossfall-%d.png" % size), png_bytes(icon(size)))
    print("wrote %d bitmaps and 4 icons into %s" % (len(pictures), DATA), file=sys.stderr)


if __name__ == "__main__":
    main()
