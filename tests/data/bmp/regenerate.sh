#!/usr/bin/env bash
# Rebuilds the BMP samples and their reference decodes.
# Every sample is a 13 x 7 picture (odd width: row padding matters). ImageMagick
# writes most of them; the layouts it does not write (RLE4, 16-bit without masks,
# 32-bit without masks, top-down rows) are made from its files by small byte edits.
# Each X.bmp gets X.ppm: ImageMagick's own decode of that file, the oracle.
set -euo pipefail
cd "$(dirname "$0")"
IM=/usr/bin/convert
[ -x "$IM" ] || IM=convert

rm -f ./*.bmp ./*.ppm
$IM -seed 3 -size 13x7 plasma:red-blue src.png

$IM src.png -monochrome -compress none BMP3:bpp1.bmp
$IM src.png -colors 12 -compress none BMP3:bpp4.bmp
$IM src.png -colors 200 -type palette -compress none BMP3:bpp8.bmp
$IM src.png -colors 40 -type palette -compress RLE BMP3:rle8.bmp
$IM src.png -define bmp:subtype=RGB555 BMP:bitfields555.bmp
$IM src.png -define bmp:subtype=RGB565 BMP:bitfields565.bmp
$IM src.png -type truecolor -compress none BMP3:bpp24.bmp
$IM src.png -type truecolor BMP2:core24.bmp
$IM src.png -colors 12 BMP2:core4.bmp
$IM src.png -alpha set -channel A -fx 1 +channel -type truecoloralpha BMP:bpp32_bitfields.bmp
rm -f src.png

python3 - <<'PY'
import struct

def read(name):
    return bytearray(open(name, 'rb').read())

def rows(d):
    off = struct.unpack_from('<I', d, 10)[0]
    w, h, _, bpp = struct.unpack_from('<iiHH', d, 18)
    stride = ((w * bpp + 31) // 32) * 4
    return off, w, h, bpp, stride

# 16 bits, BI_RGB: the 555 layout without masks.
d = read('bitfields555.bmp')
struct.pack_into('<I', d, 30, 0)
open('rgb555.bmp', 'wb').write(d)

# Top-down: negative height and the rows reversed.
for src, dst in (('bpp24.bmp', 'bpp24_topdown.bmp'), ('bpp8.bmp', 'bpp8_topdown.bmp')):
    d = read(src)
    off, w, h, bpp, stride = rows(d)
    body = [d[off + i * stride: off + (i + 1) * stride] for i in range(h)]
    d[off:off + h * stride] = b''.join(reversed(body))
    struct.pack_into('<i', d, 22, -h)
    open(dst, 'wb').write(d)

# 32 bits, BI_RGB: B,G,R,0 from the 24-bit file.
d = read('bpp24.bmp')
off, w, h, bpp, stride = rows(d)
body = bytearray()
for i in range(h):
    r = d[off + i * stride:]
    for x in range(w):
        body += r[3 * x:3 * x + 3] + b'\x00'
hdr = bytearray(d[:54])
struct.pack_into('<I', hdr, 2, 54 + len(body))
struct.pack_into('<H', hdr, 28, 32)
struct.pack_into('<I', hdr, 34, len(body))
open('bpp32_rgb.bmp', 'wb').write(hdr + body)

# RLE4 and a second RLE8, by hand: encoded runs, absolute runs (odd lengths,
# word padding), a delta jump over pixels and an early end of bitmap.
def rle_file(bpp, comp, palette, data, w=13, h=7):
    pal = b''.join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    off = 54 + len(pal)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, bpp, comp, len(data), 2835, 2835, len(palette), 0)
    # A trailing zero word: ImageMagick reads one word past the end-of-bitmap code.
    tail = b'\0\0'
    hdr = b'BM' + struct.pack('<IHHI', off + len(data) + len(tail), 0, 0, off)
    return hdr + info + pal + data + tail

pal16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
         (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
         (255, 0, 255), (0, 255, 255), (255, 255, 255)]
rle4 = bytes([
    13, 0x9A,                         # row 0: 13 pixels alternating 9, A
    0, 0,                             # end of line
    5, 0xFF, 0, 5, 0x12, 0x34, 0x50, 0, 3, 0xCC, 0, 0,   # row 1: run, absolute 5 (padded), run
    0, 13, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xC0, 0,  # row 2: absolute 13
    0, 0,
    2, 0x77, 0, 2, 4, 1, 3, 0xE1, 0, 0,                  # row 3: delta (4, 1) into row 4, x 6
    13, 0x5D,                         # row 5: one run
    0, 0,
    0, 1,                             # end of bitmap: row 6 stays colour 0
])
open('rle4.bmp', 'wb').write(rle_file(4, 2, pal16, rle4))

pal8 = [((i * 37) & 255, (i * 91) & 255, (i * 13) & 255) for i in range(256)]
rle8 = bytes([
    4, 200, 0, 5, 1, 2, 3, 4, 5, 0, 4, 17, 0, 0,         # row 0
    0, 2, 3, 2, 6, 99,                                   # delta (3, 2): row 2 at x 3
    0, 0,
    13, 255, 0, 0,                                       # row 3
    0, 1,
])
open('rle8_delta.bmp', 'wb').write(rle_file(8, 1, pal8, rle8))
PY

for f in ./*.bmp; do
  $IM "$f" -depth 8 "ppm:${f%.bmp}.ppm"
done
