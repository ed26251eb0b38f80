#!/usr/bin/python3
"""Tells how far apart the seven kinds of block look: each kind's colour as the screen shows it (the
sprite's 5-6-5 pixels averaged in linear light), then the smallest CIEDE2000 difference between two
kinds with normal vision and under the Machado 2009 simulation of protanopia, deuteranopia and
tritanopia at severity 1.0, and the smallest lightness (L*) difference, what a greyscale picture keeps.

    block_colours.py DATA_DIR            prints the figures
    block_colours.py DATA_DIR PINNED     also fails (exit 1) when they differ from the file's

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


def sprite_pixels(path):
    """The 16 x 16 pixels of a 24-bit bitmap, as the 5-6-5 screen shows them, sRGB 0..1."""
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


def figures(data_dir):
    colours = [kind_colour(f"{data_dir}/{kind}Box.bmp") for kind in KINDS]
    lines = []
    for name, cvd in VISIONS:
        seen = colours if cvd is None else [
            numpy.clip(cspace_convert(c, {"name": "sRGB1+CVD", "cvd_type": cvd, "severity": 100}, "sRGB1"), 0, 1)
            for c in colours]
        lab = [rgb2lab(c.reshape(1, 1, 3))[0, 0] for c in seen]
        d, a, b = smallest(lab, lambda p, q: float(deltaE_ciede2000(p, q)))
        lines.append(f"{name}: smallest CIEDE2000 {d:.1f}, {a} and {b}")
    lab = [rgb2lab(c.reshape(1, 1, 3))[0, 0] for c in colours]
    d, a, b = smallest(lab, lambda p, q: abs(float(p[0] - q[0])))
    lines.append(f"greyscale: smallest lightness difference {d:.1f} L*, {a} and {b}")
    return "\n".join(lines) + "\n"


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    text = figures(sys.argv[1])
    sys.stdout.write(text)
    if len(sys.argv) == 3 and open(sys.argv[2]).read() != text:
        sys.stdout.write(f"differs from {sys.argv[2]}:\n{open(sys.argv[2]).read()}")
        sys.exit(1)


if __name__ == "__main__":
    main()
