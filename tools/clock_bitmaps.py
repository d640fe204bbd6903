#!/usr/bin/python3
"""Draws the clock bitmaps: for the local (green) and the server (yellow)
clock a face with its frame and separators, and two strips of the
seven-segment digits 0 to 9. All are 16-colour bitmaps in the format's
own 4-bit run-length encoding, drawn at every scale the program supports,
and listed in a resource script fragment.

usage: clock_bitmaps.py <output directory>
"""
import itertools
import os
import struct
import sys

import palette16

BLACK = palette16.index((0, 0, 0))
GREY = palette16.index((128, 128, 128))
WHITE = palette16.index((255, 255, 255))
GREEN = palette16.index((0, 255, 0))
YELLOW = palette16.index((255, 255, 0))

# Display scales in percent; the set at index k gets the resource ids of
# the 100 % set plus k * ID_STEP_PER_SCALE.
SCALES = (100, 125, 150, 175, 200, 250, 300)
ID_STEP_PER_SCALE = 100
RESOURCE_IDS = {
    "local_small_digits": 136, "local_large_digits": 137, "local_face": 138,
    "server_large_digits": 139, "server_face": 140, "server_small_digits": 142,
}
RESOURCE_SCRIPT = "clock_bitmaps.rc"

FACE_SIZE = (151, 72)
FRAME_WIDTH = 1
# Separators as (left, top, right, bottom), edges included.
DATE_DASHES = [(65, 12, 70, 14), (108, 12, 113, 14)]
COLON_DOTS = [(59, 41, 61, 43), (59, 57, 61, 59)]

DIGIT_COUNT = 10
# Gaps between segments are kept to quarter pixels.
GAP_STEPS_PER_PIXEL = 4
SEGMENTS_OF_DIGIT = ["abcdef", "bc", "abdeg", "abcdg", "bcfg",
                     "acdfg", "acdefg", "abc", "abcdefg", "abcdfg"]


def scaled(length, percent):
    """A length or position at 100 % taken to the given scale, halves up."""
    return (length * percent + 50) // 100


def scaled_box(box, percent):
    """A box of edges (included) at the given scale: its corner and its size
    are scaled each, so that equal boxes stay equal."""
    left, top, right, bottom = box
    width = scaled(right - left + 1, percent)
    height = scaled(bottom - top + 1, percent)
    left, top = scaled(left, percent), scaled(top, percent)
    return left, top, left + width - 1, top + height - 1


class DigitStyle:
    """The figure of one strip's digits within a cell of the given size:
    the box that the segments' centre lines run along, the stroke width
    and the gap between two segments."""

    def __init__(self, cell, box, stroke, gap):
        self.cell = cell
        self.left, self.top, self.right, self.bottom = box
        self.stroke = stroke
        self.gap = gap

    def at_scale(self, percent):
        """This style at the given scale, snapped so that every edge of a
        stroke lies on a pixel boundary: the figure is a whole number of
        pixels wide and high and centred in the cell (as at 100 %), and its
        height has the parity of the stroke, which puts the middle bar on
        whole pixels as well."""
        cell_width, cell_height = (scaled(length, percent) for length in self.cell)
        stroke = max(1, scaled(self.stroke, percent))
        width = scaled(self.right - self.left + self.stroke, percent)
        height = scaled(self.bottom - self.top + self.stroke, percent)
        height -= (height + stroke) % 2
        left = (cell_width - width) // 2
        top = (cell_height - height) // 2
        half = stroke / 2
        box = (left + half, top + half, left + width - half, top + height - half)
        gap_steps = scaled(round(self.gap * GAP_STEPS_PER_PIXEL), percent)
        return DigitStyle((cell_width, cell_height), box, stroke, gap_steps / GAP_STEPS_PER_PIXEL)


LARGE = DigitStyle(cell=(24, 34), box=(5, 4, 18, 30), stroke=4, gap=1)
SMALL = DigitStyle(cell=(12, 17), box=(3, 2, 9, 14), stroke=2, gap=0.25)


# The bitmap format's 4-bit run-length encoding: a run is a pixel count and
# a byte with the colour in both halves; a pair of zeros ends a line, zero
# and one the bitmap.
BI_RLE4 = 2
LONGEST_RUN = 255
END_OF_LINE = b"\0\0"
END_OF_BITMAP = b"\0\1"


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
        """The image as a run-length encoded 4-bits-per-pixel bitmap file,
        rows bottom-up."""
        rows = END_OF_LINE.join(self.encoded_row(y) for y in reversed(range(self.height)))
        rows += END_OF_BITMAP
        palette = palette16.rgb_quads()
        offset = 14 + 40 + len(palette)
        file_header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
        info_header = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 4, BI_RLE4,
                                  len(rows), 2835, 2835, len(palette16.PALETTE), 0)
        return file_header + info_header + palette + rows

    def encoded_row(self, y):
        runs = bytearray()
        for colour, pixels in itertools.groupby(self.pixels[y]):
            length = len(list(pixels))
            for start in range(0, length, LONGEST_RUN):
                runs += bytes((min(LONGEST_RUN, length - start), colour << 4 | colour))
        return bytes(runs)


def face(separator_colour, percent):
    """The black face in a sunken frame: grey at the top and left, white at
    the bottom and right."""
    image = Image(*(scaled(length, percent) for length in FACE_SIZE))
    frame = max(1, scaled(FRAME_WIDTH, percent))
    right, bottom = image.width - 1, image.height - 1
    image.fill(0, 0, right, frame - 1, GREY)
    image.fill(0, 0, frame - 1, bottom, GREY)
    image.fill(0, bottom - frame + 1, right, bottom, WHITE)
    image.fill(right - frame + 1, 0, right, bottom, WHITE)
    for separator in DATE_DASHES + COLON_DOTS:
        image.fill(*scaled_box(separator, percent), separator_colour)
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


def segment_pixels(style):
    """The pixels of a cell whose centres each segment covers."""
    width, height = style.cell
    return {segment: [(x, y) for y in range(height) for x in range(width)
                      if covers(outline, x + 0.5, y + 0.5)]
            for segment, outline in segment_outlines(style).items()}


def digit_strip(style, colour):
    width, height = style.cell
    strip = Image(width * DIGIT_COUNT, height)
    pixels = segment_pixels(style)
    for digit, segments in enumerate(SEGMENTS_OF_DIGIT):
        for segment in segments:
            for x, y in pixels[segment]:
                strip.pixels[y][digit * width + x] = colour
    return strip


def clock_images(percent):
    """The images of both clocks at the given scale, by resource name."""
    large, small = LARGE.at_scale(percent), SMALL.at_scale(percent)
    for clock, colour in (("local", GREEN), ("server", YELLOW)):
        yield f"{clock}_face", face(colour, percent)
        yield f"{clock}_large_digits", digit_strip(large, colour)
        yield f"{clock}_small_digits", digit_strip(small, colour)


def file_name(name, percent):
    """The 100 % images keep their plain names; the others carry the scale."""
    suffix = "" if percent == 100 else f"_{percent}"
    return f"{name}{suffix}.bmp"


def resource_script(bitmaps):
    """The resource script lines for (id, file name) pairs, by id."""
    lines = ["// Generated by tools/clock_bitmaps.py; do not edit.\n"]
    lines += [f'{resource_id} BITMAP "{name}"\n' for resource_id, name in sorted(bitmaps)]
    return "".join(lines)


def main(output_dir):
    os.makedirs(output_dir, exist_ok=True)
    bitmaps = []
    for scale_index, percent in enumerate(SCALES):
        for name, image in clock_images(percent):
            bmp_name = file_name(name, percent)
            with open(os.path.join(output_dir, bmp_name), "wb") as out:
                out.write(image.bmp())
            bitmaps.append((RESOURCE_IDS[name] + scale_index * ID_STEP_PER_SCALE, bmp_name))
    with open(os.path.join(output_dir, RESOURCE_SCRIPT), "w", newline="\n") as out:
        out.write(resource_script(bitmaps))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
