"""The standard 16-colour palette that the program's images use."""
import struct

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def index(rgb):
    return PALETTE.index(rgb)


def rgb_quads():
    """The palette as a bitmap's colour table: blue, green, red, 0."""
    return b"".join(struct.pack("<BBBx", b, g, r) for r, g, b in PALETTE)
