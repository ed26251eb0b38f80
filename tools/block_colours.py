#!/usr/bin/python3
"""Tells how far apart the seven kinds of block look: each kind's colour as the screen shows it (the
sprite's 5-6-5 pixels averaged in linear light), then the smallest CIEDE2000 difference between two
kinds with normal vision and under the Machado 2009 simulation of protanopia, deuteranopia and
tritanopia at severity 1.0, and the smallest lightness (L*) difference, what a greyscale picture keeps.
Then the pictures themselves, plain and with the block symbols drawn on: for the two kinds that look
most alike, the share of their 256 pixels that differ clearly (CIEDE2000 over 10; in grey, L* over 10).

    block_colours.py DATA_DIR            prints the figures; fails (exit 1) when, with the symbols on,
                                         two kinds differ clearly in under a tenth of their pixels in grey
    block_colours.py DATA_DIR PINNED     also fails when the figures differ from the file's

Needs Debian's python3-colorspacious and python3-skimage.
"""
import itertools
import struct
import sys

import numpy
from colorspacious import cspace_convert
from skimage.color import deltaE_ciede2000, rgb2lab

KINDS = ["green", "red", "blue", "yellow", "white", "purple", "pink"]
VISIONS = [("normal vision", None), ("protanopia", "protanomaly"), ("deuteranopia", "deuteranomaly"),
           ("tritanopia", "tritanomaly")]


CLEAR_DIFFERENCE = 10
# With the symbols on, any two kinds must differ clearly in at least this share of their pixels in grey.
LEAST_GREY_SHARE = 0.10


def sprite_pixels(path):
    """The pixels of a 24-bit bitmap, row by row, as the 5-6-5 screen shows them, sRGB 0..1."""
    data = open(path, "rb").read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    if bits != 24:
        sys.exit(f"{path}: not a 24-bit bitmap")
    row = (width * 3 + 3) // 4 * 4
    pixels = []
    for y in range(abs(height)):
        for x in range(width):
            b, g, r = data[offset + y * row + 3 * x:offset + y * row + 3 * x + 3]
            pixels.append(((r >> 3) * 255 // 31 / 255, (g >> 2) * 255 // 63 / 255, (b >> 3) * 255 // 31 / 255))
    return numpy.array(pixels)


def linear(c):
    return numpy.where(c <= 0.04045, c / 12.92, ((c + 0.055) / 1.055) ** 2.4)


def srgb(c):
    return numpy.where(c <= 0.0031308, c * 12.92, 1.055 * c ** (1 / 2.4) - 0.055)


def kind_colour(path):
    return srgb(linear(sprite_pixels(path)).mean(axis=0))


def smallest(values, difference):
    pairs = [(difference(values[a], values[b]), KINDS[a], KINDS[b])
             for a, b in itertools.combinations(range(len(KINDS)), 2)]
    return min(pairs)


def seen_as(colours, cvd):
    """sRGB 0..1 colours (any shape ending in 3) as seen with that deficiency, or as they are."""
    if cvd is None:
        return colours
    return numpy.clip(cspace_convert(colours, {"name": "sRGB1+CVD", "cvd_type": cvd, "severity": 100}, "sRGB1"), 0, 1)


def lab_of(colours):
    return rgb2lab(numpy.asarray(colours).reshape(-1, 1, 3)).reshape(-1, 3)


def kind_pictures(data_dir, symbols):
    """Each kind's 16 x 16 block as drawn, with its symbol over it when asked (black is see-through)."""
    tiles = sprite_pixels(f"{data_dir}/symbols.bmp").reshape(16, 16 * len(KINDS), 3)
    pictures = []
    for k, kind in enumerate(KINDS):
        block = sprite_pixels(f"{data_dir}/{kind}Box.bmp").reshape(16, 16, 3)
        if symbols:
            tile = tiles[:, 16 * k:16 * k + 16]
            block = numpy.where(tile.sum(axis=2, keepdims=True) > 0, tile, block)
        pictures.append(block.reshape(-1, 3))
    return pictures


def clear_share(p, q, grey):
    if grey:
        return float((numpy.abs(p[:, 0] - q[:, 0]) > CLEAR_DIFFERENCE).mean())
    return float((deltaE_ciede2000(p, q) > CLEAR_DIFFERENCE).mean())


def figures(data_dir):
    """The figures' text, and whether the symbols tell every two kinds apart in grey."""
    colours = [kind_colour(f"{data_dir}/{kind}Box.bmp") for kind in KINDS]
    lines = []
    for name, cvd in VISIONS:
        lab = lab_of(seen_as(numpy.array(colours), cvd))
        d, a, b = smallest(lab, lambda p, q: float(deltaE_ciede2000(p, q)))
        lines.append(f"{name}: smallest CIEDE2000 {d:.1f}, {a} and {b}")
    lab = lab_of(numpy.array(colours))
    d, a, b = smallest(lab, lambda p, q: abs(float(p[0] - q[0])))
    lines.append(f"greyscale: smallest lightness difference {d:.1f} L*, {a} and {b}")
    apart_in_grey = False
    for symbols in (False, True):
        pictures = kind_pictures(data_dir, symbols)
        shares = []
        for name, cvd in VISIONS + [("greyscale", None)]:
            lab = [lab_of(seen_as(p, cvd)) for p in pictures]
            share, a, b = smallest(lab, lambda p, q, grey=name == "greyscale": clear_share(p, q, grey))
            shares.append(f"{name} {100 * share:.1f} % ({a} and {b})")
            if symbols and name == "greyscale":
                apart_in_grey = share >= LEAST_GREY_SHARE
        lines.append(("with symbols" if symbols else "plain blocks") + ": pixels clearly apart, least pair: " +
                     ", ".join(shares))
    return "\n".join(lines) + "\n", apart_in_grey


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    text, apart_in_grey = figures(sys.argv[1])
    sys.stdout.write(text)
    if not apart_in_grey:
        sys.exit(f"with the symbols, two kinds differ clearly in under {100 * LEAST_GREY_SHARE:.0f} % of their pixels in grey")
    if len(sys.argv) == 3 and open(sys.argv[2]).read() != text:
        sys.stdout.write(f"differs from {sys.argv[2]}:\n{open(sys.argv[2]).read()}")
        sys.exit(1)


if __name__ == "__main__":
    main()
