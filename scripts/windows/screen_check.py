#!/usr/bin/env python3
"""Checks an X server's screen (Xvfb's -fbdir dump, black background) for the
program's window: the menu bar across its top and, below it, the demo's
picture at a whole scale of its own size in the colours the demo draws.
usage: screen_check.py SCREEN_XWD REFERENCE_PNG"""
import struct
import sys
import zlib

MENU_BAR = 0xDBDBDB


def read_xwd(path):
    d = open(path, 'rb').read()
    be = lambda at: struct.unpack('>I', d[at:at + 4])[0]
    header, byte_order, bits, line, colours = be(0), be(28), be(44), be(48), be(76)
    width, height = be(16), be(20)
    if bits != 32:
        sys.exit('screen: %d bits a pixel, not 32' % bits)
    start = header + colours * 12
    fmt = '>I' if byte_order else '<I'
    rows = []
    for y in range(height):
        row = d[start + y * line:start + y * line + width * 4]
        rows.append([v & 0xFFFFFF for v in struct.unpack(fmt[0] + 'I' * width, row)])
    return rows


def read_png_colours(path):
    d = open(path, 'rb').read()
    at, idat, width, height = 8, b'', 0, 0
    while at < len(d):
        size, kind = struct.unpack('>I4s', d[at:at + 8])
        body = d[at + 8:at + 8 + size]
        if kind == b'IHDR':
            width, height, depth, colour = struct.unpack('>IIBB', body[:10])
            if depth != 8 or colour != 2:
                sys.exit('reference: not an 8-bit RGB PNG')
        elif kind == b'IDAT':
            idat += body
        at += 12 + size
    raw, stride, prev, colours = zlib.decompress(idat), width * 3, bytearray(width * 3), set()
    for y in range(height):
        f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 3] if i >= 3 else 0
            b, c = prev[i], prev[i - 3] if i >= 3 else 0
            if f == 1: line[i] = (line[i] + a) & 255
            elif f == 2: line[i] = (line[i] + b) & 255
            elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        colours.update((line[x] << 16) | (line[x + 1] << 8) | line[x + 2] for x in range(0, stride, 3))
        prev = line
    return colours


def main():
    screen, reference = read_xwd(sys.argv[1]), read_png_colours(sys.argv[2])
    bar_rows = [y for y, row in enumerate(screen) if row.count(MENU_BAR) > 200]
    if not bar_rows:
        sys.exit('no menu bar on the screen')
    bar_y = bar_rows[-1]
    bar_x = [x for x, v in enumerate(screen[bar_y]) if v == MENU_BAR]
    box = None
    found = []
    for y in range(bar_y + 1, len(screen)):
        for x in range(bar_x[0], bar_x[-1] + 1):
            v = screen[y][x]
            if v and v != MENU_BAR:
                found.append(v)
                box = (min(box[0], x), min(box[1], y), max(box[2], x), max(box[3], y)) if box else (x, y, x, y)
    if not box:
        sys.exit('nothing drawn below the menu bar')
    width, height = box[2] - box[0] + 1, box[3] - box[1] + 1
    # The window's texture widens 5 and 6 bits a channel its own way: the
    # snapshot's colours, give or take the low bits.
    def near(v):
        return any(all(abs(((v >> k) & 255) - ((r >> k) & 255)) <= 3 for k in (0, 8, 16)) for r in reference)
    seen = {v: near(v) for v in set(found)}
    known = sum(1 for v in found if seen[v]) / len(found)
    print('menu bar %d wide at row %d; picture %dx%d, %d colours, %.0f%% of its pixels in the demo\'s colours'
          % (len(bar_x), bar_y, width, height, len(set(found)), known * 100))
    # The first window takes the largest whole scale that fits the screen.
    scale = max(1, round(width / 320))
    ok = (300 * scale <= width <= 324 * scale and 180 * scale <= height <= 240 * scale
          and len(set(found)) >= 4 and known >= 0.9)
    sys.exit(0 if ok else 1)


if __name__ == '__main__':
    main()
