#!/usr/bin/env python3
"""Checks the icon generator's output with a decoder of its own."""
import os
import struct
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                      "..", "..", "..", "tools", "icongen", "icongen.py")
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
MAROON, RED, YELLOW, BLUE = 1, 9, 11, 12
LEVELS = ["000", "025", "050", "075", "100"]


def generate(out, *extra):
    subprocess.run([sys.executable, SCRIPT, "--out", out, *extra], check=True)


def decode_ico(data):
    """[(size, rows)] with rows of palette indices top-down, None where transparent."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind) == (0, 1)
    images = []
    for i in range(count):
        w, h, colours, _, planes, bpp, length, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        assert (w, colours, planes, bpp) == (h, 16, 1, 4) and offset + length <= len(data)
        hdr = struct.unpack_from("<IiiHHIIiiII", data, offset)
        assert hdr[0] == 40 and hdr[1] == w and hdr[2] == 2 * w and hdr[4] == 4
        pal = [struct.unpack_from("<BBBB", data, offset + 40 + 4 * k)[2::-1] for k in range(16)]
        assert pal == VGA, pal
        xor_at = offset + 40 + 64
        xor_stride, and_stride = ((w * 4 + 31) // 32) * 4, ((w + 31) // 32) * 4
        and_at = xor_at + xor_stride * w
        assert and_at + and_stride * w == offset + length
        rows = []
        for y in range(w):  # bottom-up in the file
            row = []
            for x in range(w):
                byte = data[xor_at + y * xor_stride + x // 2]
                index = byte >> 4 if x % 2 == 0 else byte & 15
                masked = data[and_at + y * and_stride + x // 8] & (0x80 >> (x % 8))
                assert not (masked and index), "a transparent pixel must be black in the image"
                row.append(None if masked else index)
            rows.append(row)
        images.append((w, rows[::-1]))
    return images


def count(rows, *colours):
    return sum(1 for row in rows for p in row if p in colours)


class IconGeneratorTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.out = os.path.join(cls.tmp.name, "a")
        generate(cls.out, "--preview", os.path.join(cls.tmp.name, "sheet.png"))
        with open(os.path.join(cls.out, "icons.rc")) as f:
            cls.names = [line.split()[0] for line in f]

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def icon(self, name):
        with open(os.path.join(self.out, name + ".ico"), "rb") as f:
            return decode_ico(f.read())

    def test_resource_script_names_every_icon(self):
        expected = (["MAINICON"] + ["AC_" + l for l in LEVELS] + ["DC_" + l for l in LEVELS] +
                    ["TEST", "DOWN", "FAIL", "NC"])
        self.assertEqual(self.names, expected)
        with open(os.path.join(self.out, "icons.rc")) as f:
            for name, line in zip(expected, f):
                self.assertEqual(line, '%s ICON "%s.ico"\n' % (name, name))
        self.assertEqual([s for s, _ in self.icon("MAINICON")], [32, 16])
        for name in expected[1:]:
            images = self.icon(name)
            self.assertEqual([s for s, _ in images], [16], name)
            rows = images[0][1]
            self.assertTrue(0 < count(rows, None) < 256, name + " needs both clear and drawn pixels")

    def test_pictures_follow_the_state(self):
        for prefix in ("AC_", "DC_"):
            reds = [count(self.icon(prefix + l)[0][1], RED, MAROON) for l in LEVELS]
            self.assertEqual(reds[0], 0, prefix)
            self.assertEqual(reds, sorted(set(reds)), prefix + " fill must rise with the charge")
        self.assertGreater(count(self.icon("AC_050")[0][1], BLUE), 10)  # the bolt
        self.assertEqual(count(self.icon("DC_050")[0][1], BLUE), 0)
        self.assertGreater(count(self.icon("TEST")[0][1], BLUE), 10)
        down = self.icon("DOWN")[0][1]
        self.assertGreater(count(down, YELLOW), 10)
        self.assertGreater(count(down, RED), 10)  # a full battery behind the triangle
        fail = self.icon("FAIL")[0][1]
        self.assertGreater(count(fail, YELLOW), 30)
        self.assertEqual(count(fail, RED, MAROON), 0)
        self.assertGreater(count(self.icon("NC")[0][1], RED), 10)  # the cross
        for size, rows in self.icon("MAINICON"):
            self.assertGreater(count(rows, RED), size * size // 8)

    def test_output_is_repeatable(self):
        again = os.path.join(self.tmp.name, "b")
        generate(again)
        for name in sorted(os.listdir(again)):
            with open(os.path.join(self.out, name), "rb") as f1, \
                    open(os.path.join(again, name), "rb") as f2:
                self.assertEqual(f1.read(), f2.read(), name)


if __name__ == "__main__":
    unittest.main()
