#!/usr/bin/env python3
"""Draws the editor's bitmaps: toolbar glyph strip, tool cursors, logging icon,
program icon and splash picture. Pure Python (zlib) for the pixel art; the
splash text is set by ImageMagick. Run from anywhere; writes next to itself."""
import math
import os
import struct
import subprocess
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def write_png(name, w, h, pixels, alpha=False):
    """pixels: list of rows of (r, g, b) or (r, g, b, a) tuples."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for p in row:
            raw += bytes(p[:4] if alpha else p[:3])
    def chunk(kind, data):
        c = struct.pack('>I', len(data)) + kind + data
        return c + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)
    png = b'\x89PNG\r\n\x1a\n'
    png += chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6 if alpha else 2, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(bytes(raw), 9))
    png += chunk(b'IEND', b'')
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(png)


# --- toolbar glyphs: 12 x 16 x 16, silver (192,192,192) is see-through ------------

PALETTE = {
    '.': (192, 192, 192), 'k': (0, 0, 0), 'w': (255, 255, 255), 'l': (228, 228, 228),
    'g': (128, 128, 128), 'G': (72, 72, 72), 'y': (255, 224, 96), 'Y': (214, 168, 32),
    'o': (236, 150, 40), 'b': (36, 92, 214), 'B': (24, 48, 132), 'r': (214, 48, 40),
    'R': (140, 24, 20), 'n': (52, 164, 64), 'c': (120, 200, 250),
    '1': (230, 40, 40), '2': (240, 140, 30), '3': (240, 220, 40), '4': (60, 190, 60),
    '5': (40, 200, 210), '6': (40, 90, 230), '7': (170, 60, 220),
}

GLYPHS = [
    # bOpen: folder
    ["................",
     "................",
     "..kkkk..........",
     ".kyyyyk.........",
     ".kyyyyykkkkkkk..",
     ".kyyyyyyyyyyyk..",
     ".kyyykkkkkkkkkkk",
     ".kyykoooooooook.",
     ".kyykoooooooook.",
     ".kykoooooooook..",
     ".kykoooooooook..",
     ".kkoooooooook...",
     ".kkoooooooook...",
     ".kkkkkkkkkkk....",
     "................",
     "................"],
    # bSave: diskette
    ["................",
     ".kkkkkkkkkkkkkk.",
     ".kBkwwwwwwwwkBk.",
     ".kBkwwwwwwwwkBk.",
     ".kBkwggggggwkBk.",
     ".kBkwwwwwwwwkBk.",
     ".kBkwggggggwkBk.",
     ".kBBkkkkkkkkBBk.",
     ".kBBBBBBBBBBBBk.",
     ".kBBkkkkkkkkBBk.",
     ".kBBklllGGlkBBk.",
     ".kBBklllGGlkBBk.",
     ".kBBklllGGlkBBk.",
     ".kkkkkkkkkkkkkk.",
     "................",
     "................"],
    # bCopy: two pages
    [".kkkkkkk........",
     ".kwwwwwkk.......",
     ".kwgggwkwk......",
     ".kwwwwwkkkk.....",
     ".kwggkkkkkkk....",
     ".kwwwkwwwwwkk...",
     ".kwggkwgggwkwk..",
     ".kwwwkwwwwwkkkk.",
     ".kkkkkwgggggwwk.",
     ".....kwwwwwwwwk.",
     ".....kwgggggwwk.",
     ".....kwwwwwwwwk.",
     ".....kwgggggwwk.",
     ".....kwwwwwwwwk.",
     ".....kkkkkkkkkk.",
     "................"],
    # bPaste: clipboard with a page
    [".....kkkkk......",
     ".kkkkkyyykkkkk..",
     ".kYYkkkkkkkYYk..",
     ".kYYYYYYYYYYYk..",
     ".kYYYkkkkkkkkkk.",
     ".kYYYkwwwwwwwkk.",
     ".kYYYkwggggwwkwk",
     ".kYYYkwwwwwwwkkk",
     ".kYYYkwgggggwwwk",
     ".kYYYkwwwwwwwwwk",
     ".kYYYkwgggggwwwk",
     ".kYYYkwwwwwwwwwk",
     ".kkkkkwgggggwwwk",
     ".....kwwwwwwwwwk",
     ".....kkkkkkkkkkk",
     "................"],
    # bTools: tool box
    ["................",
     "................",
     ".....kkkkkk.....",
     "....kk....kk....",
     "....k......k....",
     ".kkkkkkkkkkkkkk.",
     ".krrrrrrrrrrrrk.",
     ".krrrrrrrrrrrrk.",
     ".kRRRRkkkkRRRRk.",
     ".kkkkkkllkkkkkk.",
     ".krrrrkkkkrrrrk.",
     ".krrrrrrrrrrrrk.",
     ".krrrrrrrrrrrrk.",
     ".kkkkkkkkkkkkkk.",
     "................",
     "................"],
    # bColor: three colour sliders
    ["................",
     "..kkkkkkkkkkkk..",
     "..krrrrrrrrrrk..",
     "..kkkkkkkkkkkk..",
     ".....kwwk.......",
     "................",
     "..kkkkkkkkkkkk..",
     "..knnnnnnnnnnk..",
     "..kkkkkkkkkkkk..",
     "........kwwk....",
     "................",
     "..kkkkkkkkkkkk..",
     "..kbbbbbbbbbbk..",
     "..kkkkkkkkkkkk..",
     "...kwwk.........",
     "................"],
    # bUndo: arrow turning back
    ["................",
     "................",
     "....b...........",
     "...bb...........",
     "..bbbbbbbbb.....",
     ".bbbbbbbbbbbb...",
     "..bbbbbbbbbbbb..",
     "...bb......bbb..",
     "....b.......bbb.",
     "............bbb.",
     "............bbb.",
     "...........bbb..",
     ".........bbbb...",
     ".......bbbb.....",
     "................",
     "................"],
    # bPrint: printer
    ["................",
     "....kkkkkkkk....",
     "....kwwwwwwk....",
     "....kwggggwk....",
     "....kwwwwwwk....",
     ".kkkkkkkkkkkkkk.",
     ".kllllllllllllk.",
     ".kllllllllllnlk.",
     ".kGGGGGGGGGGGGk.",
     ".kkkkkkkkkkkkkk.",
     "..kGkwwwwwwkGk..",
     "....kwggggwk....",
     "....kwwwwwwk....",
     "....kkkkkkkk....",
     "................",
     "................"],
    # bPstGrad: gradient onto the picture
    ["kkkkkkkkk.......",
     "k1234567k.......",
     "k1234567k.......",
     "k1234567k.......",
     "k1234567k.......",
     "kkkkkkkkk.......",
     "...bb...........",
     "...bb...kkkkkkkk",
     ".bbbbbb.kcccyyck",
     "..bbbb..kccccyck",
     "...bb...kcnnccck",
     "........knnnnnnk",
     "........knnnnnnk",
     "........kkkkkkkk",
     "................",
     "................"],
    # bCpyBufr: picture into the buffer
    ["kkkkkkkk........",
     "kcccyyck........",
     "kccccyck........",
     "kcnnccck........",
     "knnnnnnk........",
     "kkkkkkkk........",
     "...bb...........",
     "...bb...kkkkkkkk",
     ".bbbbbb.kooooook",
     "..bbbb..kookkook",
     "...bb...kooooook",
     "........kooooook",
     "........kooooook",
     "........kkkkkkkk",
     "................",
     "................"],
    # bPstBufr: buffer onto the picture
    ["kkkkkkkk........",
     "kooooook........",
     "kookkook........",
     "kooooook........",
     "kooooook........",
     "kkkkkkkk........",
     "...bb...........",
     "...bb...kkkkkkkk",
     ".bbbbbb.kcccyyck",
     "..bbbb..kccccyck",
     "...bb...kcnnccck",
     "........knnnnnnk",
     "........knnnnnnk",
     "........kkkkkkkk",
     "................",
     "................"],
    # bPreview: tiles
    ["kkkkkkkkkkkkkkkk",
     "k33115k33115k331",
     "k31156k31156k311",
     "k11566k11566k115",
     "k15663k15663k156",
     "kkkkkkkkkkkkkkkk",
     "k33115k33115k331",
     "k31156k31156k311",
     "k11566k11566k115",
     "k15663k15663k156",
     "kkkkkkkkkkkkkkkk",
     "k33115k33115k331",
     "k31156k31156k311",
     "k11566k11566k115",
     "k15663k15663k156",
     "kkkkkkkkkkkkkkkk"],
]


def glyph_strip():
    assert len(GLYPHS) == 12
    rows = []
    for y in range(16):
        row = []
        for g in GLYPHS:
            assert len(g) == 16 and all(len(r) == 16 for r in g), g
            row += [PALETTE[ch] for ch in g[y]]
        rows.append(row)
    write_png('glyphs.png', 192, 16, rows)


# --- cursors: 32 x 32 with alpha ------------------------------------------------

class Canvas:
    def __init__(self, w, h, fill=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.p = [[fill for _ in range(w)] for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.p[y][x] = c

    def disc(self, cx, cy, r, c):
        for y in range(int(cy - r - 1), int(cy + r + 2)):
            for x in range(int(cx - r - 1), int(cx + r + 2)):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.put(x, y, c)

    def line(self, x0, y0, x1, y1, r, c):
        n = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
        for i in range(n + 1):
            t = i / n
            self.disc(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, r, c)

    def outlined(self, x0, y0, x1, y1, r, c):
        self.line(x0, y0, x1, y1, r + 1, BLACK)
        self.line(x0, y0, x1, y1, r, c)


BLACK, WHITE = (0, 0, 0, 255), (255, 255, 255, 255)


def crosshair(c):
    # Black-edged white arms around (15, 15), leaving the hot spot itself clear.
    for a, b in ((2, 12), (18, 28)):
        for t in range(a, b + 1):
            for d in (-1, 1):
                c.put(t, 15 + d, BLACK)
                c.put(15 + d, t, BLACK)
        for t in range(a - 1, b + 2):
            c.put(t, 15, BLACK) if t in (a - 1, b + 1) else None
            c.put(15, t, BLACK) if t in (a - 1, b + 1) else None
    for a, b in ((2, 12), (18, 28)):
        for t in range(a, b + 1):
            c.put(t, 15, WHITE)
            c.put(15, t, WHITE)


def shape_mark(c, kind):
    x0, y0, x1, y1 = 19, 20, 30, 29
    if kind == 'ELLIP':
        cx, cy, rx, ry = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2
        for i in range(200):
            t = 2 * math.pi * i / 200
            x, y = cx + rx * math.cos(t), cy + ry * math.sin(t)
            for dx, dy in ((-1, 0), (1, 0), (0, -1), (0, 1)):
                c.put(round(x) + dx, round(y) + dy, BLACK)
        for i in range(200):
            t = 2 * math.pi * i / 200
            c.put(round(cx + rx * math.cos(t)), round(cy + ry * math.sin(t)), WHITE)
    elif kind in ('RECT', 'CROP'):
        for x in range(x0 - 1, x1 + 2):
            for y in (y0 - 1, y0 + 1, y1 - 1, y1 + 1):
                c.put(x, y, BLACK)
        for y in range(y0 - 1, y1 + 2):
            for x in (x0 - 1, x0 + 1, x1 - 1, x1 + 1):
                c.put(x, y, BLACK)
        for x in range(x0, x1 + 1):
            for y in (y0, y1):
                c.put(x, y, WHITE if kind == 'RECT' or (x // 2) % 2 == 0 else BLACK)
        for y in range(y0, y1 + 1):
            for x in (x0, x1):
                c.put(x, y, WHITE if kind == 'RECT' or (y // 2) % 2 == 0 else BLACK)
    elif kind == 'LINE':
        c.outlined(x0, y1, x1, y0, 0.6, WHITE)


def cursor(name):
    c = Canvas(32, 32)
    if name in ('ELLIP', 'RECT', 'LINE', 'CROP'):
        crosshair(c)
        shape_mark(c, name)
    elif name == 'BRUSH':
        # Handle up and to the right, bristles down to the hot spot (2, 29).
        c.outlined(12, 19, 27, 4, 1.6, (176, 112, 48, 255))
        c.line(8, 23, 12, 19, 2.6, BLACK)
        c.line(8, 23, 12, 19, 1.8, (200, 200, 210, 255))
        c.line(3, 28, 8, 23, 2.2, BLACK)
        c.line(4, 27, 7, 24, 1.2, (40, 40, 40, 255))
    elif name == 'EYEDROP':
        c.outlined(4, 27, 17, 14, 1.0, WHITE)
        c.outlined(17, 14, 23, 8, 2.0, (90, 90, 100, 255))
        c.disc(25, 6, 4.5, BLACK)
        c.disc(25, 6, 3.5, (60, 60, 70, 255))
        c.put(2, 29, BLACK)
        c.put(3, 28, BLACK)
    elif name == 'FILL':
        # Tilted bucket pouring to the hot spot (3, 28).
        bucket = [(14, 8), (26, 14), (20, 26), (8, 20)]
        for y in range(32):
            for x in range(32):
                inside = all((bucket[(i + 1) % 4][0] - bucket[i][0]) * (y - bucket[i][1]) -
                             (bucket[(i + 1) % 4][1] - bucket[i][1]) * (x - bucket[i][0]) >= 0 for i in range(4))
                if inside:
                    c.put(x, y, (220, 220, 230, 255))
        for i in range(4):
            (ax, ay), (bx, by) = bucket[i], bucket[(i + 1) % 4]
            c.line(ax, ay, bx, by, 0.8, BLACK)
        c.line(14, 8, 26, 14, 1.2, (40, 90, 220, 255))
        c.outlined(8, 20, 4, 25, 1.2, (40, 90, 220, 255))
        c.disc(3, 28, 1.8, BLACK)
        c.disc(3, 28, 1.0, (40, 90, 220, 255))
    write_png(name.lower() + '.png', 32, 32, c.p, alpha=True)


# --- logging icon: 10 x 12 notepad ---------------------------------------------

def logging_icon():
    art = ["kkkkkkkkk.",
           "kwwwwwwwk.",
           "kwbbbbbwk.",
           "kwwwwwwwk.",
           "kwbbbbwwk.",
           "kwwwwwwwrr",
           "kwbbbbbrrk",
           "kwwwwwrrwk",
           "kwbbbrrbwk",
           "kwwwwrwwwk",
           "kwwwwwwwwk",
           "kkkkkkkkkk"]
    colours = {'.': (0, 0, 0, 0), 'k': BLACK, 'w': WHITE, 'b': (36, 92, 214, 255), 'r': (214, 48, 40, 255)}
    write_png('logging.png', 10, 12, [[colours[ch] for ch in row] for row in art], alpha=True)


# --- a seamless pattern for the icon and the splash -------------------------------

def tile_colour(x, y, w, h):
    u, v = 2 * math.pi * x / w, 2 * math.pi * y / h
    s = math.sin(u) + math.sin(v) + math.sin(u + v) * 0.7 + math.sin(2 * u - v) * 0.5
    t = (s + 3.2) / 6.4
    r = int(127 + 127 * math.sin(2 * math.pi * t))
    g = int(127 + 127 * math.sin(2 * math.pi * t + 2.1))
    b = int(127 + 127 * math.sin(2 * math.pi * t + 4.2))
    return (r, g, b)


def icon():
    n = 64
    rows = []
    for y in range(n):
        row = []
        for x in range(n):
            edge = x < 2 or y < 2 or x >= n - 2 or y >= n - 2
            grid = x in (31, 32) or y in (31, 32)
            if edge:
                row.append((20, 20, 30, 255))
            elif grid:
                row.append((255, 255, 255, 160))
            else:
                row.append(tile_colour(x % 32, y % 32, 32, 32) + (255,))
        rows.append(row)
    write_png('icon.png', n, n, rows, alpha=True)


def splash():
    w, h = 400, 200
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            r, g, b = tile_colour(x % 100, y % 100, 100, 100)
            # Darken towards the middle band where the title sits.
            k = 0.45 + 0.55 * min(1.0, abs(y - 92) / 70)
            row.append((int(r * k), int(g * k), int(b * k)))
        rows.append(row)
    write_png('splash_base.png', w, h, rows)
    base = os.path.join(HERE, 'splash_base.png')
    out = os.path.join(HERE, 'splash.png')
    im = '/usr/bin/convert' if os.path.exists('/usr/bin/convert') else 'convert'
    subprocess.run([im, base,
                    '-fill', 'rgba(0,0,0,0.55)', '-draw', 'rectangle 0,52 399,140',
                    '-font', 'DejaVu-Sans-Bold', '-pointsize', '54',
                    '-fill', 'rgba(0,0,0,0.7)', '-annotate', '+33+117', 'Quilo',
                    '-fill', 'white', '-annotate', '+30+114', 'Quilo',
                    '-font', 'DejaVu-Sans', '-pointsize', '15',
                    '-fill', 'rgb(235,235,235)', '-annotate', '+212+92', 'seamless tile editor',
                    '-fill', 'rgb(200,200,200)', '-annotate', '+212+114', 'effects  gradients  tiles',
                    '-fill', 'none', '-stroke', 'rgb(20,20,30)', '-strokewidth', '2',
                    '-draw', 'rectangle 1,1 398,198',
                    '-strip', out], check=True)
    os.remove(base)


if __name__ == '__main__':
    glyph_strip()
    for name in ('BRUSH', 'ELLIP', 'RECT', 'LINE', 'FILL', 'CROP', 'EYEDROP'):
        cursor(name)
    logging_icon()
    icon()
    splash()
