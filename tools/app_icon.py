#!/usr/bin/python3
"""Draws the program's icon: a round clock face showing ten past ten, at
16 x 16 and 32 x 32 pixels in 16 colours, outside the face transparent.

usage: app_icon.py <output .ico file>
"""
import math
import struct
import sys

import palette16

BLACK = palette16.index((0, 0, 0))
NAVY = palette16.index((0, 0, 128))
RED = palette16.index((255, 0, 0))
BLUE = palette16.index((0, 0, 255))
WHITE = palette16.index((255, 255, 255))
TRANSPARENT = None

SIZES = [16, 32]
# Hand directions in degrees clockwise from twelve, lengths as fractions
# of the face's radius.
HOUR_HAND = (305, 0.5)
MINUTE_HAND = (60, 0.75)


def distance_to_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def hand_end(centre, radius, hand):
    angle, length = hand
    rad = math.radians(angle)
    return centre + math.sin(rad) * radius * length, centre - math.cos(rad) * radius * length


def pixel(size, x, y):
    """The palette index of one pixel, or TRANSPARENT."""
    centre = size / 2
    radius = size / 2 - 0.5
    stroke = size / 16
    px, py = x + 0.5, y + 0.5
    distance = math.hypot(px - centre, py - centre)
    if distance > radius:
        return TRANSPARENT
    if distance > radius - 1.5 * stroke:
        return BLUE
    if distance <= stroke:
        return RED
    for hand in (HOUR_HAND, MINUTE_HAND):
        if distance_to_segment(px, py, centre, centre, *hand_end(centre, radius, hand)) <= stroke * 0.75:
            return BLACK
    for quarter in range(4):
        mark = hand_end(centre, radius, (quarter * 90, 0.72))
        if math.hypot(px - mark[0], py - mark[1]) <= stroke:
            return NAVY
    return WHITE


def index_bits(index):
    return BLACK if index is TRANSPARENT else index


def padded_row(data):
    return data + b"\0" * (-len(data) % 4)


def icon_image(size):
    """One icon image: header, palette, colour bits and mask, bottom-up."""
    rows = [[pixel(size, x, y) for x in range(size)] for y in reversed(range(size))]
    colour = b"".join(
        padded_row(bytes(index_bits(row[x]) << 4 | index_bits(row[x + 1]) for x in range(0, size, 2)))
        for row in rows)
    mask = b"".join(
        padded_row(bytes(sum((row[x + bit] is TRANSPARENT) << (7 - bit) for bit in range(8))
                         for x in range(0, size, 8)))
        for row in rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0,
                         len(colour) + len(mask), 0, 0, len(palette16.PALETTE), 0)
    palette = palette16.rgb_quads()
    return header + palette + colour + mask


def icon_file(sizes):
    images = [icon_image(size) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    for size, image in zip(sizes, images):
        directory += struct.pack("<BBBBHHII", size, size, len(palette16.PALETTE), 0, 1, 4, len(image), offset)
        offset += len(image)
    return directory + b"".join(images)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as out:
        out.write(icon_file(SIZES))


if __name__ == "__main__":
    main()
