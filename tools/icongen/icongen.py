#!/usr/bin/env python3
"""Writes the monitor's icon resources (placeholder images until the drawings exist)."""
import argparse
import os
import struct

NAMES = (["MAINICON"] + ["AC_%03d" % l for l in (0, 25, 50, 75, 100)] +
         ["DC_%03d" % l for l in (0, 25, 50, 75, 100)] + ["TEST", "DOWN", "FAIL", "NC"])


def ico_4bpp(size, colour_index):
    palette = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
               (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
               (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    row = bytes([(colour_index << 4) | colour_index]) * (size // 2)
    xor = row * size
    mask_row = bytes(((size + 31) // 32) * 4)
    image = header + pal + xor + mask_row * size
    return size, image


def write_ico(path, images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(path, "wb") as f:
        f.write(out)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    lines = []
    for i, name in enumerate(NAMES):
        sizes = (32, 16) if name == "MAINICON" else (16,)
        write_ico(os.path.join(args.out, name + ".ico"), [ico_4bpp(s, 9 + i % 6) for s in sizes])
        lines.append('%s ICON "%s.ico"\n' % (name, name))
    with open(os.path.join(args.out, "icons.rc"), "w") as f:
        f.writelines(lines)


if __name__ == "__main__":
    main()
