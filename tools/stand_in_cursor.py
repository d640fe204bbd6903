#!/usr/bin/python3
"""Draws the cursor of the stand-in system help program that the hyperlink
tests install: a 32 x 32 monochrome pointing hand with its hot spot at the
tip of the finger, outside the hand transparent.

usage: stand_in_cursor.py <output .cur file>
"""
import struct
import sys

SIZE = 32
HOT_SPOT = (9, 1)
# The hand as filled rectangles (left, top, right, bottom), edges included:
# the finger, then the palm.
SHAPE = [(7, 0, 11, 14), (4, 12, 22, 28)]


def inside(x, y):
    return any(left <= x <= right and top <= y <= bottom for left, top, right, bottom in SHAPE)


def outline(x, y):
    """Black pixels: the hand's border; the rest of the hand is white."""
    return inside(x, y) and not all(inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))


def mask_rows(pixel_is_set):
    """1-bit rows, bottom-up, each 4 bytes wide."""
    return b"".join(
        bytes(sum(pixel_is_set(x + bit, y) << (7 - bit) for bit in range(8)) for x in range(0, SIZE, 8))
        for y in reversed(range(SIZE)))


def cursor_file():
    colour = mask_rows(lambda x, y: inside(x, y) and not outline(x, y))
    transparent = mask_rows(lambda x, y: not inside(x, y))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 1, 0,
                         len(colour) + len(transparent), 0, 0, 2, 0)
    palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    image = header + palette + colour + transparent
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, *HOT_SPOT, len(image), 6 + 16)
    return directory + entry + image


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as out:
        out.write(cursor_file())


if __name__ == "__main__":
    main()
