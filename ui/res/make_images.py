#!/usr/bin/env python3
"""Draws the program's bitmaps and its icon into BMP and ICO files.

Every image is drawn from the primitives below, so the files come out byte for
byte the same on every run; edit the drawing here and run the script again:
    python3 ui/res/make_images.py [output folder]   (default: this folder)
"""
import os
import struct
import sys

# Colours (R, G, B).
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
FACE = (240, 240, 240)        # the dialog's ground
GREY_GROUND = (192, 192, 192)  # "nothing selected" and menu grounds
PRESSED = (190, 215, 255)      # light blue: the pressed look
OUTLINE = (96, 96, 96)
PAPER = (255, 255, 255)
TEXT_LINE = (80, 120, 200)
FOLDER = (246, 200, 72)
FOLDER_DARK = (196, 140, 32)
FILTER = (40, 110, 200)
FILTER_DARK = (20, 60, 130)
CHECK = (20, 20, 20)
ICON_BLUE = (40, 100, 190)
ICON_GREEN = (40, 160, 70)


class Image:
    def __init__(self, width, height, ground):
        self.w, self.h = width, height
        self.px = [[ground] * width for _ in range(height)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        """Fills the rectangle with corners (x0, y0) and (x1, y1), both inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.put(x, y0, c)
            self.put(x, y1, c)
        for y in range(y0, y1 + 1):
            self.put(x0, y, c)
            self.put(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            self.put(round(x0 + (x1 - x0) * i / steps), round(y0 + (y1 - y0) * i / steps), c)

    def polygon(self, points, c):
        """Fills the polygon (pixel centres inside by the even-odd rule)."""
        for y in range(self.h):
            for x in range(self.w):
                px, py = x + 0.5, y + 0.5
                inside = False
                for i in range(len(points)):
                    ax, ay = points[i]
                    bx, by = points[(i + 1) % len(points)]
                    if (ay > py) != (by > py) and px < ax + (py - ay) * (bx - ax) / (by - ay):
                        inside = not inside
                if inside:
                    self.put(x, y, c)

    def disc(self, cx, cy, r, c):
        for y in range(self.h):
            for x in range(self.w):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.put(x, y, c)

    def dimmed(self, ground, amount=0.6):
        """The same picture faded towards ground."""
        out = Image(self.w, self.h, ground)
        for y in range(self.h):
            for x in range(self.w):
                r, g, b = self.px[y][x]
                out.px[y][x] = tuple(round(v + (gv - v) * amount) for v, gv in zip((r, g, b), ground))
        return out


def bmp_bytes(img):
    """A 24-bit bottom-up BMP file."""
    stride = (img.w * 3 + 3) & ~3
    rows = bytearray()
    for y in range(img.h - 1, -1, -1):
        row = bytearray()
        for r, g, b in img.px[y]:
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        rows += row
    header = struct.pack("<IiiHHIIiiII", 40, img.w, img.h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(rows), 0, 0, 14 + len(header))
    return file_header + header + rows


def bmp4_bytes(img):
    """A 16-colour bottom-up BMP file; its palette holds the picture's colours
    in order of first use (at most 16), the rest black."""
    palette = []
    for row in img.px:
        for c in row:
            if c not in palette:
                palette.append(c)
    assert len(palette) <= 16, "a 16-colour bitmap holds at most 16 colours"
    table = palette + [BLACK] * (16 - len(palette))
    stride = ((img.w * 4 + 31) // 32) * 4
    rows = bytearray()
    for y in range(img.h - 1, -1, -1):
        row = bytearray(stride)
        for x, c in enumerate(img.px[y]):
            row[x // 2] |= palette.index(c) << (4 if x % 2 == 0 else 0)
        rows += row
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in table)
    header = struct.pack("<IiiHHIIiiII", 40, img.w, img.h, 1, 4, 0, len(rows), 2835, 2835, 16, 0)
    offset = 14 + len(header) + len(colours)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    return file_header + header + colours + rows


def ico_bytes(images):
    """An icon file of 32-bit images; pixels equal to None are transparent."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for img in images:
        xor = bytearray()
        for y in range(img.h - 1, -1, -1):
            for c in img.px[y]:
                xor += bytes((0, 0, 0, 0)) if c is None else bytes((c[2], c[1], c[0], 255))
        mask_stride = ((img.w + 31) // 32) * 4
        mask = bytearray()
        for y in range(img.h - 1, -1, -1):
            row = bytearray(mask_stride)
            for x, c in enumerate(img.px[y]):
                if c is None:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        header = struct.pack("<IiiHHIIiiII", 40, img.w, img.h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        blob = header + xor + mask
        entries.append(struct.pack("<BBBBHHII", img.w % 256, img.h % 256, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


# --- The pictures -------------------------------------------------------------
# Each picture is designed at its 100 % side and drawn at every scale of
# SCALES with its coordinates scaled and its strokes as wide as the scale,
# rounded (2 pixels from 150 %); at 100 % it is exactly the original design.

def scaled_side(px, percent):
    """The side of a px picture at percent: the program's dpi::ImageSize."""
    dpi = 96 * percent // 100
    return (px * dpi + 48) // 96


def scaler(size, base):
    """Scale factor, stroke width, a point's position and a far edge's position
    (the last pixel before the scaled coordinate, less the stroke)."""
    s = size / float(base)
    w = max(1, round(s))
    return s, w, (lambda v: round(v * s)), (lambda v: round(v * s) - w)


def stroke(img, x0, y0, x1, y1, c, w):
    for ox in range(w):
        for oy in range(w):
            img.line(x0 + ox, y0 + oy, x1 + ox, y1 + oy, c)


def file_symbol(size, ground):
    """A sheet of paper with a folded corner and lines of text, designed at 21 x 21."""
    img = Image(size, size, ground)
    s, w, p, e = scaler(size, 21)
    img.polygon([(4 * s, 1 * s), (13 * s, 1 * s), (17 * s, 5 * s), (17 * s, 20 * s), (4 * s, 20 * s)], PAPER)
    stroke(img, p(4), p(1), p(13), p(1), OUTLINE, w)
    stroke(img, p(4), p(1), p(4), e(20), OUTLINE, w)
    stroke(img, p(4), e(20), e(17), e(20), OUTLINE, w)
    stroke(img, e(17), p(5), e(17), e(20), OUTLINE, w)
    stroke(img, e(13), p(1), e(17), p(5), OUTLINE, w)
    stroke(img, e(13), p(1), e(13), p(5), OUTLINE, w)
    stroke(img, e(13), p(5), e(17), p(5), OUTLINE, w)
    for y in (8, 11, 14, 17):
        stroke(img, p(6), p(y), e(15) if y != 17 else e(12), p(y), TEXT_LINE, w)
    return img


def folder_symbol(size, ground):
    """A yellow folder with its tab, designed at 21 x 21."""
    img = Image(size, size, ground)
    s, w, p, e = scaler(size, 21)

    def box(x0, y0, x1, y1):  # filled and framed, corners inclusive at 100 %
        x0, y0, x1, y1 = p(x0), p(y0), p(x1 + 1) - 1, p(y1 + 1) - 1
        img.rect(x0, y0, x1, y1, FOLDER)
        for i in range(w):
            img.frame(x0 + i, y0 + i, x1 - i, y1 - i, FOLDER_DARK)

    box(2, 4, 8, 6)
    box(1, 6, 19, 17)
    stroke(img, p(2), p(8), p(19) - 1 - (w - 1), p(8), (255, 230, 150), w)
    return img


def triangle_symbol(size, ground):
    """A black triangle pointing right, designed at 16 x 16."""
    img = Image(size, size, ground)
    s = size / 16.0
    img.polygon([(5 * s, 3 * s), (12 * s, 8 * s), (5 * s, 13 * s)], BLACK)
    return img


def filter_symbol(size, ground):
    """A funnel: a wide top narrowing to a short spout, designed at 16 x 16."""
    img = Image(size, size, ground)
    s = size / 16.0
    w = max(1, round(s))
    top, neck, bottom = 2 * s, 9 * s, 14.5 * s
    img.polygon([(1.5 * s, top), (14.5 * s, top), (9.5 * s, neck), (9.5 * s, bottom),
                 (6.5 * s, bottom - 1.5 * s), (6.5 * s, neck)], FILTER)
    stroke(img, round(1.5 * s), round(top), round(14 * s), round(top), FILTER_DARK, w)
    return img


def check_symbol(size, ground):
    """A bold check mark, designed at 11 x 11."""
    img = Image(size, size, ground)
    s, w, p, e = scaler(size, 11)
    stroke(img, p(2), p(5), p(4), p(7), CHECK, w)
    stroke(img, p(4), p(7), p(8), p(3), CHECK, w)
    stroke(img, p(2), p(5) + w, p(4), p(7) + w, CHECK, w)
    stroke(img, p(4), p(7) + w, p(8), p(3) + w, CHECK, w)
    return img


def list_images(size):
    """The list images of the backup-folder settings dialog, designed as a strip
    of 55 x 13 on black (the transparent colour): image 0 blank, image 1 the
    filter mark; the rest of the strip stays blank."""
    img = Image(round(55 * size / 13.0), size, BLACK)
    mark = filter_symbol(size, BLACK)
    for y in range(size):
        for x in range(size):
            img.put(size + x, y, mark.px[y][x])
    return img


def program_icon(size):
    """A blue box (the backup) with a green arrow going into it; transparent corners."""
    img = Image(size, size, None)
    s = size / 32.0
    img.polygon([(3 * s, 14 * s), (29 * s, 14 * s), (29 * s, 30 * s), (3 * s, 30 * s)], ICON_BLUE)
    img.polygon([(3 * s, 14 * s), (29 * s, 14 * s), (26 * s, 17 * s), (6 * s, 17 * s)], (20, 60, 130))
    img.polygon([(12 * s, 2 * s), (20 * s, 2 * s), (20 * s, 12 * s), (25 * s, 12 * s), (16 * s, 22 * s),
                 (7 * s, 12 * s), (12 * s, 12 * s)], ICON_GREEN)
    return img


# The scales each bitmap is drawn at, in percent (ui/dpi_scale.h, kImageScales).
SCALES = (100, 125, 150, 200, 250)
# Identifiers of the scaled bitmaps: the 100 % identifier + 1000 x the scale's index.
SCALED_ID_STEP = 1000

# The bitmaps: file stem, resource identifier (ui/resource.h), side at 100 %,
# file bytes for a side.
BITMAPS = [
    ("folder", 132, 21, lambda n: bmp_bytes(folder_symbol(n, FACE))),
    ("file", 133, 21, lambda n: bmp_bytes(file_symbol(n, FACE))),
    ("file_none", 134, 21, lambda n: bmp_bytes(file_symbol(n, GREY_GROUND).dimmed(GREY_GROUND, 0.35))),
    ("folder_none", 135, 21, lambda n: bmp_bytes(folder_symbol(n, FACE).dimmed(FACE, 0.65))),
    ("switch", 141, 16, lambda n: bmp_bytes(triangle_symbol(n, WHITE))),
    ("list_images", 146, 13, lambda n: bmp4_bytes(list_images(n))),
    ("switch_pressed", 144, 16, lambda n: bmp_bytes(triangle_symbol(n, PRESSED))),
    ("filter", 147, 16, lambda n: bmp_bytes(filter_symbol(n, WHITE))),
    ("filter_pressed", 148, 16, lambda n: bmp_bytes(filter_symbol(n, PRESSED))),
    ("menu_filter", 151, 11, lambda n: bmp_bytes(filter_symbol(n, WHITE))),
    ("menu_filter_checked", 152, 11, lambda n: bmp_bytes(filter_symbol(n, GREY_GROUND))),
    ("menu_check", 153, 11, lambda n: bmp_bytes(check_symbol(n, GREY_GROUND))),
]
# The program's icon (128) at the big and small icon sides of every scale.
ICON_SIDES = sorted({scaled_side(px, pc) for px in (32, 16) for pc in SCALES})


def images():
    """Resource file name -> file bytes: the 100 % bitmaps (named in larkspan.rc),
    the scaled ones with scaled_images.rc, which names them, and the icon."""
    files = {"larkspan.ico": ico_bytes([program_icon(n) for n in ICON_SIDES])}
    lines = ["// Written by make_images.py: the bitmaps drawn at " + ", ".join(str(p) for p in SCALES[1:]) + " %,",
             "// each under its 100 %% identifier + %d x the index of its scale (ui/dpi_scale.h)." % SCALED_ID_STEP]
    for stem, ident, side, draw in BITMAPS:
        files[stem + ".bmp"] = draw(side)
        for index, percent in enumerate(SCALES[1:], 1):
            name = "%s_%d.bmp" % (stem, percent)
            files[name] = draw(scaled_side(side, percent))
            lines.append('%d BITMAP "res/%s"' % (ident + SCALED_ID_STEP * index, name))
    files["scaled_images.rc"] = ("\n".join(lines) + "\n").encode()
    return files


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(out, exist_ok=True)
    for name, data in images().items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
