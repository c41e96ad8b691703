#!/usr/bin/env python3
"""Draws the monitor's tray and program icons and writes them as .ico files.

Every image is drawn here from a few primitives, so the tree holds no binary image and
the output is the same byte for byte on every run. The icons are 16-colour (4 bits per
pixel, the standard VGA palette) with an AND mask for the transparent pixels.

    icongen.py --out DIR [--preview FILE.png]

writes DIR/<NAME>.ico for every icon and DIR/icons.rc naming them for the resource
compiler; --preview also writes a contact sheet of all icons, scaled up, for review.
"""
import argparse
import os
import struct
import zlib

# The standard 16-colour VGA palette, by index.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)

LEVELS = (0, 25, 50, 75, 100)

# Letters used in the templates below; "." is transparent.
TEMPLATE_COLOURS = {
    "K": BLACK, "N": NAVY, "B": BLUE, "S": SILVER, "G": GREY, "W": WHITE,
    "R": RED, "M": MAROON, "Y": YELLOW, "O": OLIVE,
}

BOLT = [
    "....BBB",
    "...BBB.",
    "...BB..",
    "..BBB..",
    "..BB...",
    ".BBBBBB",
    ".BBBBB.",
    "....BB.",
    "...BB..",
    "...B...",
    "..BB...",
    "..B....",
    ".B.....",
]

PLUS_MINUS = [
    "..KK..",
    "..KK..",
    "KKKKKK",
    "KKKKKK",
    "..KK..",
    "..KK..",
    "......",
    "KKKKKK",
    "KKKKKK",
]

LETTER_T = [
    "NNNNNNN",
    "NBBBBBN",
    "NNNBNNN",
    "..NBN..",
    "..NBN..",
    "..NBN..",
    "..NBN..",
    "..NBN..",
    "..NNN..",
]

# A mains plug seen from the side, pins up, cord down.
PLUG = [
    ".K..K.",
    ".K..K.",
    ".K..K.",
    "KKKKKK",
    "KWSSGK",
    "KWSSGK",
    ".KWGK.",
    "..KK..",
]

CROSS = [
    "RR...RR",
    "RRR.RRR",
    ".RRRRR.",
    "..RRR..",
    ".RRRRR.",
    "RRR.RRR",
    "RR...RR",
]


class Canvas:
    """A square image of palette indices; None is a transparent pixel."""

    def __init__(self, size):
        self.size = size
        self.pixels = [[None] * size for _ in range(size)]

    def put(self, x, y, colour):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.pixels[y][x] = colour

    def hline(self, x0, x1, y, colour):
        for x in range(x0, x1 + 1):
            self.put(x, y, colour)

    def vline(self, x, y0, y1, colour):
        for y in range(y0, y1 + 1):
            self.put(x, y, colour)

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            self.hline(x0, x1, y, colour)

    def template(self, x0, y0, rows, scale=1):
        for ty, row in enumerate(rows):
            for tx, ch in enumerate(row):
                if ch == ".":
                    continue
                colour = TEMPLATE_COLOURS[ch]
                for dy in range(scale):
                    for dx in range(scale):
                        self.put(x0 + tx * scale + dx, y0 + ty * scale + dy, colour)


def draw_battery(c, x0, y0, width, height, level):
    """An upright battery cylinder with its terminal on top, filled red up to `level` %.

    The body is shaded light on the left and dark on the right so that it reads as a
    cylinder; the fill keeps that shading in reds.
    """
    nub_w = max(2, width // 3)
    if (width - nub_w) % 2:
        nub_w += 1
    nub_h = max(2, height // 7)
    nx = x0 + (width - nub_w) // 2
    # Terminal.
    c.hline(nx, nx + nub_w - 1, y0, BLACK)
    c.vline(nx, y0 + 1, y0 + nub_h - 1, BLACK)
    c.vline(nx + nub_w - 1, y0 + 1, y0 + nub_h - 1, BLACK)
    c.rect(nx + 1, y0 + 1, nx + nub_w - 2, y0 + nub_h - 1, SILVER)
    # Body outline with rounded corners.
    top = y0 + nub_h
    bottom = y0 + height - 1
    right = x0 + width - 1
    c.hline(x0 + 1, right - 1, top, BLACK)
    c.hline(x0 + 1, right - 1, bottom, BLACK)
    c.vline(x0, top + 1, bottom - 1, BLACK)
    c.vline(right, top + 1, bottom - 1, BLACK)
    # Inside: empty part grey, filled part red, shaded by column.
    inner_top, inner_bottom = top + 1, bottom - 1
    inner_h = inner_bottom - inner_top + 1
    filled = (inner_h * level + 50) // 100
    inner_w = width - 2
    for i in range(inner_w):
        x = x0 + 1 + i
        if i == 0:
            empty, full = WHITE, RED
        elif i >= inner_w - max(1, inner_w // 4):
            empty, full = GREY, MAROON
        else:
            empty, full = SILVER, RED
        for y in range(inner_top, inner_bottom + 1):
            c.put(x, y, full if y > inner_bottom - filled else empty)


def draw_triangle(c, cx, top, height):
    """A yellow warning triangle with a black rim and exclamation mark; apex at (cx, top)."""
    half = height // 2  # the base is about as wide as the triangle is high
    for r in range(height):
        w = (r * half + (height - 1) // 2) // (height - 1)
        y = top + r
        if r == height - 1:
            c.hline(cx - w, cx + w, y, BLACK)
            continue
        c.hline(cx - w, cx + w, y, YELLOW)
        c.put(cx - w, y, BLACK)
        c.put(cx + w, y, BLACK)
    # Exclamation mark: a bar from about a third of the height, a dot above the base.
    bar_top = top + max(2, (height * 3) // 8)
    dot = top + height - 3
    c.vline(cx, bar_top, dot - 2, BLACK)
    c.put(cx, dot, BLACK)


def battery_16(c, level):
    draw_battery(c, 0, 2, 8, 14, level)


def icon_level(prefix, level):
    c = Canvas(16)
    battery_16(c, level)
    if prefix == "AC_":
        c.template(9, 2, BOLT)
    else:
        c.template(9, 4, PLUS_MINUS)
    return c


def icon_test():
    c = Canvas(16)
    battery_16(c, 100)
    c.template(9, 4, LETTER_T)
    return c


def icon_down():
    c = Canvas(16)
    battery_16(c, 100)
    draw_triangle(c, 9, 4, 12)
    return c


def icon_fail():
    c = Canvas(16)
    draw_triangle(c, 8, 1, 14)
    return c


def icon_nc():
    c = Canvas(16)
    battery_16(c, 0)
    c.template(9, 0, CROSS)
    c.template(10, 8, PLUG)
    return c


def icon_main(size):
    c = Canvas(size)
    s = size // 16
    draw_battery(c, 0, 2 * s, 8 * s, 14 * s, 100)
    # Cord from the foot of the battery to the plug on the right.
    cord_x, cord_y = 12 * s + s // 2, 14 * s
    c.rect(8 * s, cord_y, cord_x + s - 1, cord_y + s - 1, BLACK)
    c.rect(cord_x, 9 * s, cord_x + s - 1, cord_y, BLACK)
    c.template(10 * s, 2 * s, PLUG, s)
    return c


def all_icons():
    """(name, [canvas, ...]) for every icon, in the order of the resource script."""
    icons = [("MAINICON", [icon_main(32), icon_main(16)])]
    for prefix in ("AC_", "DC_"):
        icons += [("%s%03d" % (prefix, level), [icon_level(prefix, level)]) for level in LEVELS]
    icons += [("TEST", [icon_test()]), ("DOWN", [icon_down()]), ("FAIL", [icon_fail()]),
              ("NC", [icon_nc()])]
    return icons


def dib(canvas):
    """The icon image: BITMAPINFOHEADER, palette, 4-bit colour rows and the AND mask,
    both bottom-up with rows padded to 32 bits."""
    size = canvas.size
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(canvas.pixels):
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, colour in enumerate(row):
            if colour is None:
                bits[x // 8] |= 0x80 >> (x % 8)  # transparent: screen shows through
                colour = 0
            line[x // 2] |= colour << (4 if x % 2 == 0 else 0)
        xor += line
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask),
                         0, 0, 16, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    return header + pal + bytes(xor) + bytes(mask)


def ico_bytes(canvases):
    images = [(c.size, dib(c)) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def png_bytes(width, height, rgb_rows):
    """A plain 8-bit RGB PNG from rows of (r, g, b) tuples."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rgb_rows)
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def preview(icons, scale=4):
    """A contact sheet: one cell per image, transparent pixels as a light checkerboard."""
    images = [c for _, canvases in icons for c in canvases]
    cell = 34 * scale
    cols = 6
    rows = (len(images) + cols - 1) // cols
    width, height = cols * cell, rows * cell
    sheet = [[(96, 96, 160)] * width for _ in range(height)]
    for i, c in enumerate(images):
        ox = (i % cols) * cell + scale
        oy = (i // cols) * cell + scale
        k = 32 * scale // c.size  # every image fills its cell
        for y in range(c.size * k):
            for x in range(c.size * k):
                colour = c.pixels[y // k][x // k]
                if colour is None:
                    checker = ((x // k) + (y // k)) % 2
                    px = (224, 224, 224) if checker else (200, 200, 200)
                else:
                    px = PALETTE[colour]
                sheet[oy + y][ox + x] = px
    return png_bytes(width, height, sheet)


def write_file(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main():
    ap = argparse.ArgumentParser(description="Draw the monitor's icons.")
    ap.add_argument("--out", required=True, help="directory for the .ico files and icons.rc")
    ap.add_argument("--preview", help="also write a PNG contact sheet of all icons")
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    icons = all_icons()
    script = []
    for name, canvases in icons:
        write_file(os.path.join(args.out, name + ".ico"), ico_bytes(canvases))
        script.append('%s ICON "%s.ico"\n' % (name, name))
    write_file(os.path.join(args.out, "icons.rc"), "".join(script).encode("ascii"))
    if args.preview:
        write_file(args.preview, preview(icons))


if __name__ == "__main__":
    main()
