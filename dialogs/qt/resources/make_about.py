#!/usr/bin/env python3
"""Draws the about box's pictures: the two pictures of its opening animation
and the lit and unlit faces of its two fader buttons. They share the splash
window's style: the same seamless colour pattern (from the editor's resource
script), a dark band for the title, DejaVu lettering set by ImageMagick.
Run from anywhere; writes next to itself."""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', '..', 'editor', 'qt', 'resources'))
from make_resources import tile_colour  # noqa: E402  the splash's pattern

IM = '/usr/bin/convert' if os.path.exists('/usr/bin/convert') else 'convert'


def write_ppm(path, w, h, pixel):
    with open(path, 'wb') as f:
        f.write(b'P6 %d %d 255\n' % (w, h))
        f.write(bytes(c for y in range(h) for x in range(w) for c in pixel(x, y)))


def render(name, w, h, pixel, *draw):
    base = os.path.join(HERE, name + '_base.ppm')
    write_ppm(base, w, h, pixel)
    subprocess.run([IM, base, *draw, '-strip', os.path.join(HERE, name + '.png')], check=True)
    os.remove(base)


def shade(c, k):
    return tuple(max(0, min(255, int(v * k))) for v in c)


def intro():
    # One tile, large, with the title over a dark band.
    def pixel(x, y):
        k = 0.5 + 0.5 * min(1.0, abs(y - 86) / 60)
        return shade(tile_colour(x % 128, y % 128, 128, 128), k)
    render('intro', 256, 180, pixel,
           '-fill', 'rgba(0,0,0,0.55)', '-draw', 'rectangle 0,50 255,124',
           '-font', 'DejaVu-Sans-Bold', '-pointsize', '44',
           '-fill', 'rgba(0,0,0,0.7)', '-annotate', '+36+103', 'Quilo',
           '-fill', 'white', '-annotate', '+34+101', 'Quilo',
           '-font', 'DejaVu-Sans', '-pointsize', '12',
           '-fill', 'rgb(230,230,230)', '-annotate', '+36+119', 'one tile ...',
           '-fill', 'none', '-stroke', 'rgb(20,20,30)', '-strokewidth', '2',
           '-draw', 'rectangle 1,1 254,178')


def tiles():
    # The same tile repeated four by three: no seam anywhere.
    def pixel(x, y):
        c = tile_colour(x % 64, y % 64, 64, 64)
        # Faint marks where the tiles meet, only at the corners.
        if (x % 64 in (0, 63) or y % 64 in (0, 63)) and ((x % 64) < 6 or (x % 64) > 57) and \
                ((y % 64) < 6 or (y % 64) > 57):
            return (255, 255, 255)
        return c
    render('tiles', 256, 180, pixel,
           '-fill', 'rgba(0,0,0,0.55)', '-draw', 'rectangle 0,132 255,166',
           '-font', 'DejaVu-Sans-Bold', '-pointsize', '17',
           '-fill', 'white', '-annotate', '+12+155', '... endless and seamless',
           '-fill', 'none', '-stroke', 'rgb(20,20,30)', '-strokewidth', '2',
           '-draw', 'rectangle 1,1 254,178')


def button(name, w, h, text, size, lit):
    # Raised silver face when unlit; the colour pattern glowing through when lit.
    def pixel(x, y):
        if lit:
            c = shade(tile_colour(x % 64, y % 64, 64, 64), 0.8)
        else:
            g = 212 - int(28 * y / h)
            c = (g, g, g + 4)
        if x < 2 or y < 2:
            return (255, 255, 255) if not lit else (250, 250, 210)
        if x >= w - 2 or y >= h - 2:
            return (96, 96, 104) if not lit else (40, 20, 60)
        return c
    ink = 'white' if lit else 'rgb(40,40,56)'
    shadow = 'rgba(0,0,0,0.8)' if lit else 'rgba(255,255,255,0.9)'
    render(name, w, h, pixel,
           '-font', 'DejaVu-Sans-Bold', '-pointsize', str(size), '-gravity', 'center',
           '-fill', shadow, '-annotate', '+1+1', text,
           '-fill', ink, '-annotate', '+0+0', text)


if __name__ == '__main__':
    intro()
    tiles()
    button('ok_off', 85, 40, 'OK', 18, False)
    button('ok_on', 85, 40, 'OK', 18, True)
    button('badge_off', 114, 41, 'Quilo', 20, False)
    button('badge_on', 114, 41, 'Quilo', 20, True)
