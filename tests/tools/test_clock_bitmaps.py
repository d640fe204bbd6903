"""Tests of tools/clock_bitmaps.py: the clock images at every scale."""
import hashlib
import os
import struct
import subprocess
import sys
import tempfile
import unittest

TOOLS = os.path.join(os.path.dirname(__file__), "..", "..", "tools")
GENERATOR = os.path.join(TOOLS, "clock_bitmaps.py")
sys.path.insert(0, TOOLS)
import clock_bitmaps  # noqa: E402  (the drawing the decoded files must show)

SCALES = (100, 125, 150, 175, 200, 250, 300)
BLACK, GREY, WHITE = (0, 0, 0), (128, 128, 128), (255, 255, 255)
CLOCK_COLOURS = {"local": (0, 255, 0), "server": (255, 255, 0)}
FACE_SIZE = (151, 72)
CELL_SIZES = {"large": (24, 34), "small": (12, 17)}
# The clock control's cells at 100 % as (strip, x, y); cells 4 and 5 show the seconds.
CELLS = [("large", 5, 33), ("large", 32, 33), ("large", 65, 33), ("large", 92, 33),
         ("small", 120, 50), ("small", 134, 50)] + [("small", x, 5) for x in
                                                     (5, 19, 33, 47, 77, 91, 119, 133)]
SEPARATORS = [(65, 12, 70, 14), (108, 12, 113, 14), (59, 41, 61, 43), (59, 57, 61, 59)]
BI_RLE4, END_OF_LINE, END_OF_BITMAP = 2, 0, 1
SHA256_PREFIX_AT_100 = {  # of the palette indexes as drawn before the other scales came
    "local_face": "2f0af81d38cc5201", "local_large_digits": "d0fe4e36ade3ecb2",
    "local_small_digits": "9d7b3d5b1e2c9deb", "server_face": "74d2d8e4dc67b359",
    "server_large_digits": "da671048fa382e19", "server_small_digits": "ef3384d92ed0b078"}


def scaled(length, percent):
    return (length * percent + 50) // 100


class ClockBitmapsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.output = tempfile.TemporaryDirectory()
        subprocess.run([sys.executable, GENERATOR, cls.output.name], check=True)

    @classmethod
    def tearDownClass(cls):
        cls.output.cleanup()

    def read(self, name, percent=100):
        suffix = "" if percent == 100 else f"_{percent}"
        with open(os.path.join(self.output.name, f"{name}{suffix}.bmp"), "rb") as bmp:
            return bmp.read()

    def indexes(self, name, percent=100):
        """The 4-bit run-length encoded bitmap decoded into rows of palette
        indexes, top row first."""
        data = self.read(name, percent)
        offset, = struct.unpack_from("<I", data, 10)
        width, height, _, _, compression, image_size = struct.unpack_from("<iiHHII", data, 18)
        self.assertEqual((compression, image_size), (BI_RLE4, len(data) - offset))
        rows, row = [], []
        for at in range(offset, len(data), 2):
            count, value = data[at], data[at + 1]
            if count:
                row += [value >> 4 if i % 2 == 0 else value & 15 for i in range(count)]
                continue
            self.assertEqual(value, END_OF_BITMAP if at + 2 == len(data) else END_OF_LINE)
            self.assertEqual(len(row), width)
            rows.append(row)
            row = []
        self.assertEqual(len(rows), height)
        return rows[::-1]

    def pixels(self, name, percent):
        """The decoded bitmap as rows of (r, g, b), top row first."""
        palette = [tuple(reversed(self.read(name, percent)[54 + 4 * i:57 + 4 * i]))
                   for i in range(16)]
        return [[palette[index] for index in row] for row in self.indexes(name, percent)]

    def test_decoded_images_are_the_drawing(self):
        for percent in SCALES:
            for name, image in clock_bitmaps.clock_images(percent):
                self.assertEqual(self.indexes(name, percent), image.pixels, (name, percent))

    def test_face_frame_and_separators_follow_the_rounding_rule(self):
        for percent in SCALES:
            for clock, colour in CLOCK_COLOURS.items():
                face = self.pixels(f"{clock}_face", percent)
                width, height, frame = len(face[0]), len(face), max(1, scaled(1, percent))
                self.assertEqual((width, height), tuple(scaled(v, percent) for v in FACE_SIZE))
                for line in (face[height // 2], [row[width // 2] for row in face]):
                    self.assertEqual(line[:frame + 1] + line[-frame - 1:],
                                     [GREY] * frame + [BLACK, BLACK] + [WHITE] * frame)
                separators = {(scaled(left, percent) + i, scaled(top, percent) + j)
                              for left, top, right, bottom in SEPARATORS
                              for i in range(scaled(right - left + 1, percent))
                              for j in range(scaled(bottom - top + 1, percent))}
                self.assertEqual({(x, y) for y, row in enumerate(face)
                                  for x, pixel in enumerate(row) if pixel == colour}, separators)

    def test_scaled_cells_lie_apart_on_plain_face_with_bottoms_aligned(self):
        for percent in SCALES:
            face = self.pixels("local_face", percent)
            strips = {strip: self.pixels(f"local_{strip}_digits", percent) for strip in CELL_SIZES}
            size = {strip: (len(rows[0]) // 10, len(rows)) for strip, rows in strips.items()}
            self.assertEqual(size, {strip: (scaled(w, percent), scaled(h, percent))
                                    for strip, (w, h) in CELL_SIZES.items()})
            cells = [(scaled(x, percent), scaled(y, percent), *size[strip])
                     for strip, x, y in CELLS]
            covered = set()
            for x, y, width, height in cells:
                cell = {(x + i, y + j) for i in range(width) for j in range(height)}
                self.assertFalse(cell & covered, (percent, x, y))
                self.assertTrue(all(face[j][i] == BLACK for i, j in cell), (percent, x, y))
                covered |= cell
            self.assertEqual(cells[4][1] + cells[4][3], cells[0][1] + cells[0][3], percent)

    def test_digits_differ_and_keep_clear_of_the_cell_sides(self):
        for percent in SCALES:
            for strip in CELL_SIZES:
                rows = self.pixels(f"server_{strip}_digits", percent)
                width = len(rows[0]) // 10
                digits = [frozenset((x, y) for y, row in enumerate(rows) for x in range(width)
                                    if row[d * width + x] != BLACK) for d in range(10)]
                self.assertEqual(len(set(digits)), 10, percent)
                for columns in ({x for x, _ in digit} for digit in digits):
                    self.assertTrue(columns and min(columns) >= 1 and max(columns) <= width - 2)

    def test_images_at_100_percent_are_unchanged(self):
        for name, digest in SHA256_PREFIX_AT_100.items():
            indexes = bytes(index for row in self.indexes(name) for index in row)
            self.assertTrue(hashlib.sha256(indexes).hexdigest().startswith(digest), name)
