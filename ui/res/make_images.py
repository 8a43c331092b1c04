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

def file_symbol(ground):
    """A sheet of paper with a folded corner and lines of text, 21 x 21."""
    img = Image(21, 21, ground)
    img.polygon([(4, 1), (13, 1), (17, 5), (17, 20), (4, 20)], PAPER)
    img.line(4, 1, 13, 1, OUTLINE)
    img.line(4, 1, 4, 19, OUTLINE)
    img.line(4, 19, 16, 19, OUTLINE)
    img.line(16, 5, 16, 19, OUTLINE)
    img.line(12, 1, 16, 5, OUTLINE)
    img.line(12, 1, 12, 5, OUTLINE)
    img.line(12, 5, 16, 5, OUTLINE)
    for y in (8, 11, 14, 17):
        img.line(6, y, 14 if y != 17 else 11, y, TEXT_LINE)
    return img


def folder_symbol(ground):
    """A yellow folder with its tab, 21 x 21."""
    img = Image(21, 21, ground)
    img.rect(2, 4, 8, 6, FOLDER)
    img.frame(2, 4, 8, 6, FOLDER_DARK)
    img.rect(1, 6, 19, 17, FOLDER)
    img.frame(1, 6, 19, 17, FOLDER_DARK)
    img.line(2, 8, 18, 8, (255, 230, 150))
    return img


def triangle_symbol(ground):
    """A black triangle pointing right, 16 x 16."""
    img = Image(16, 16, ground)
    img.polygon([(5, 3), (12, 8), (5, 13)], BLACK)
    return img


def filter_symbol(size, ground):
    """A funnel: a wide top narrowing to a short spout, size x size (16 or 11)."""
    img = Image(size, size, ground)
    s = size / 16.0
    top, neck, bottom = 2 * s, 9 * s, 14.5 * s
    img.polygon([(1.5 * s, top), (14.5 * s, top), (9.5 * s, neck), (9.5 * s, bottom),
                 (6.5 * s, bottom - 1.5 * s), (6.5 * s, neck)], FILTER)
    img.line(round(1.5 * s), round(top), round(14 * s), round(top), FILTER_DARK)
    return img


def check_symbol(size, ground):
    """A bold check mark, size x size."""
    img = Image(size, size, ground)
    for dy in (0, 1):
        img.line(2, 5 + dy, 4, 7 + dy, CHECK)
        img.line(4, 7 + dy, 8, 3 + dy, CHECK)
    return img


def list_images():
    """The list images of the backup-folder settings dialog, 55 x 13 on black
    (the transparent colour): image 0 (x 0-12) blank, image 1 (x 13-25) the
    filter mark; the rest of the strip stays blank."""
    img = Image(55, 13, BLACK)
    mark = filter_symbol(13, BLACK)
    for y in range(13):
        for x in range(13):
            img.put(13 + x, y, mark.px[y][x])
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


def images():
    """Resource file name -> file bytes."""
    return {
        "folder.bmp": bmp_bytes(folder_symbol(FACE)),                        # 132
        "file.bmp": bmp_bytes(file_symbol(FACE)),                            # 133
        "file_none.bmp": bmp_bytes(file_symbol(GREY_GROUND).dimmed(GREY_GROUND, 0.35)),  # 134
        "folder_none.bmp": bmp_bytes(folder_symbol(FACE).dimmed(FACE, 0.65)),  # 135
        "switch.bmp": bmp_bytes(triangle_symbol(WHITE)),                     # 141
        "list_images.bmp": bmp4_bytes(list_images()),                         # 146
        "switch_pressed.bmp": bmp_bytes(triangle_symbol(PRESSED)),           # 144
        "filter.bmp": bmp_bytes(filter_symbol(16, WHITE)),                   # 147
        "filter_pressed.bmp": bmp_bytes(filter_symbol(16, PRESSED)),         # 148
        "menu_filter.bmp": bmp_bytes(filter_symbol(11, WHITE)),              # 151
        "menu_filter_checked.bmp": bmp_bytes(filter_symbol(11, GREY_GROUND)),  # 152
        "menu_check.bmp": bmp_bytes(check_symbol(11, GREY_GROUND)),          # 153
        "larkspan.ico": ico_bytes([program_icon(32), program_icon(16)]),     # 128
    }


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(out, exist_ok=True)
    for name, data in images().items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
