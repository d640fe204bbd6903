#!/usr/bin/python3
"""Draws the clock bitmaps: for the local (green) and the server (yellow)
clock a face with its frame and separators, and two strips of the
seven-segment digits 0 to 9. All are 16-colour bitmaps.

usage: clock_bitmaps.py <output directory>
"""
import os
import struct
import sys

import palette16

BLACK = palette16.index((0, 0, 0))
GREY = palette16.index((128, 128, 128))
WHITE = palette16.index((255, 255, 255))
GREEN = palette16.index((0, 255, 0))
YELLOW = palette16.index((255, 255, 0))

FACE_SIZE = (151, 72)
# Separators as (left, top, right, bottom), edges included.
DATE_DASHES = [(65, 12, 70, 14), (108, 12, 113, 14)]
COLON_DOTS = [(59, 41, 61, 43), (59, 57, 61, 59)]

DIGIT_COUNT = 10
SEGMENTS_OF_DIGIT = ["abcdef", "bc", "abdeg", "abcdg", "bcfg",
                     "acdfg", "acdefg", "abc", "abcdefg", "abcdfg"]


class DigitStyle:
    """The figure of one strip's digits within a cell of the given size:
    the box that the segments' centre lines run along, the stroke width
    and the gap between two segments."""

    def __init__(self, cell, box, stroke, gap):
        self.cell = cell
        self.left, self.top, self.right, self.bottom = box
        self.stroke = stroke
        self.gap = gap


LARGE = DigitStyle(cell=(24, 34), box=(5, 4, 18, 30), stroke=4, gap=1)
SMALL = DigitStyle(cell=(12, 17), box=(3, 2, 9, 14), stroke=2, gap=0.25)


class Image:
    """A width x height grid of palette indexes, (0, 0) at the top left."""

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = [[BLACK] * width for _ in range(height)]

    def fill(self, left, top, right, bottom, colour):
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                self.pixels[y][x] = colour

    def bmp(self):
        """The image as a 4-bits-per-pixel bitmap file, rows bottom-up."""
        row_size = (self.width * 4 + 31) // 32 * 4
        rows = b"".join(self.packed_row(y, row_size) for y in reversed(range(self.height)))
        palette = palette16.rgb_quads()
        offset = 14 + 40 + len(palette)
        file_header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
        info_header = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 4, 0,
                                  len(rows), 2835, 2835, len(palette16.PALETTE), 0)
        return file_header + info_header + palette + rows

    def packed_row(self, y, row_size):
        row = self.pixels[y] + [BLACK] * (self.width % 2)
        data = bytes(row[i] << 4 | row[i + 1] for i in range(0, len(row), 2))
        return data.ljust(row_size, b"\0")


def face(separator_colour):
    image = Image(*FACE_SIZE)
    right, bottom = image.width - 1, image.height - 1
    image.fill(0, 0, right, 0, GREY)
    image.fill(0, 0, 0, bottom, GREY)
    image.fill(0, bottom, right, bottom, WHITE)
    image.fill(right, 0, right, bottom, WHITE)
    for separator in DATE_DASHES + COLON_DOTS:
        image.fill(*separator, separator_colour)
    return image


def segment_outlines(style):
    """Each segment as a hexagon around its centre line, pointed at both
    ends so that neighbouring segments meet at a mitre with a gap between."""
    half = style.stroke / 2
    left, right = style.left, style.right
    top, bottom = style.top, style.bottom
    middle = (top + bottom) / 2

    def across(y):
        a, b = left + style.gap, right - style.gap
        return [(a, y), (a + half, y - half), (b - half, y - half),
                (b, y), (b - half, y + half), (a + half, y + half)]

    def down(x, upper, lower):
        a, b = upper + style.gap, lower - style.gap
        return [(x, a), (x + half, a + half), (x + half, b - half),
                (x, b), (x - half, b - half), (x - half, a + half)]

    return {
        "a": across(top), "g": across(middle), "d": across(bottom),
        "f": down(left, top, middle), "b": down(right, top, middle),
        "e": down(left, middle, bottom), "c": down(right, middle, bottom),
    }


def covers(outline, x, y):
    """Whether the point lies inside the convex, clockwise outline."""
    corners = zip(outline, outline[1:] + outline[:1])
    return all((bx - ax) * (y - ay) - (by - ay) * (x - ax) >= 0
               for (ax, ay), (bx, by) in corners)


def digit_strip(style, colour):
    width, height = style.cell
    strip = Image(width * DIGIT_COUNT, height)
    outlines = segment_outlines(style)
    for digit, segments in enumerate(SEGMENTS_OF_DIGIT):
        for y in range(height):
            for x in range(width):
                centre = (x + 0.5, y + 0.5)
                if any(covers(outlines[s], *centre) for s in segments):
                    strip.pixels[y][digit * width + x] = colour
    return strip


def clock_images():
    for clock, colour in (("local", GREEN), ("server", YELLOW)):
        yield f"{clock}_face.bmp", face(colour)
        yield f"{clock}_large_digits.bmp", digit_strip(LARGE, colour)
        yield f"{clock}_small_digits.bmp", digit_strip(SMALL, colour)


def main(output_dir):
    os.makedirs(output_dir, exist_ok=True)
    for name, image in clock_images():
        with open(os.path.join(output_dir, name), "wb") as out:
            out.write(image.bmp())


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
