#!/usr/bin/env python3
"""The X screen as the Windows tests see it: reads `xwd -root` output (24 or 32 bits a pixel,
either byte order) and answers questions about its pixels.

  xwd.py png GRAB OUT [X Y W H]      the grab, or a part of it, as a PNG
  xwd.py diff A B X Y W H            the box around the pixels that differ between two grabs
                                     inside that rectangle: "X Y W H", or "none"
  xwd.py board GRAB X Y W H BW BH    where a board of BW x BH pixels lies inside the rectangle,
                                     found by its ground-grey margin, as "X Y"; "none" unless the
                                     ground around the cells ends exactly at the board's edges
  xwd.py cells GRAB X Y COLS ROWS EDGE MARGIN ASSETS
                                     the picture slot each cell of the board at X Y shows (cells
                                     EDGE and the margin MARGIN screen pixels), row by row,
                                     matched against ASSETS/pictures at every EDGE/35th pixel;
                                     "?" for a cell that is none of them
"""
import glob
import os
import struct
import sys
import zlib


class Grab:
    def __init__(self, path):
        with open(path, 'rb') as f:
            data = f.read()
        head = struct.unpack('>25I', data[:100])
        header_size, version = head[0], head[1]
        if version != 7:
            raise SystemExit(f'{path}: not an XWD version 7 file')
        self.width, self.height = head[4], head[5]
        byte_order, bpp, self.stride = head[7], head[11], head[12]
        ncolors = head[19]
        if bpp not in (24, 32):
            raise SystemExit(f'{path}: {bpp} bits a pixel')
        self.step = bpp // 8
        self.little = byte_order == 0
        self.pixels = data[header_size + 12 * ncolors:]

    def rgb(self, x, y):
        at = y * self.stride + x * self.step
        b = self.pixels[at:at + 3]
        return (b[2], b[1], b[0]) if self.little else (b[0], b[1], b[2])

    def row(self, x, y, w):
        return [self.rgb(x + i, y) for i in range(w)]


def write_png(path, w, h, rows):
    raw = b''.join(b'\0' + bytes(c for p in row for c in p) for row in rows)

    def chunk(kind, body):
        return (struct.pack('>I', len(body)) + kind + body +
                struct.pack('>I', zlib.crc32(kind + body) & 0xffffffff))
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0)) +
                chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def main(argv):
    if len(argv) < 2:
        raise SystemExit(__doc__)
    verb, args = argv[1], argv[2:]
    if verb == 'png':
        g = Grab(args[0])
        x, y, w, h = map(int, args[2:6]) if len(args) >= 6 else (0, 0, g.width, g.height)
        write_png(args[1], w, h, [g.row(x, y + j, w) for j in range(h)])
    elif verb == 'diff':
        a, b = Grab(args[0]), Grab(args[1])
        x, y, w, h = map(int, args[2:6])
        xs, ys = [], []
        for j in range(y, y + h):
            ra, rb = a.row(x, j, w), b.row(x, j, w)
            for i in range(w):
                if ra[i] != rb[i]:
                    xs.append(x + i)
                    ys.append(j)
        print('none' if not xs else
              f'{min(xs)} {min(ys)} {max(xs) - min(xs) + 1} {max(ys) - min(ys) + 1}')
    elif verb == 'board':
        g = Grab(args[0])
        x, y, w, h, bw, bh = map(int, args[1:7])
        print(find_board(g, x, y, w, h, bw, bh))
    elif verb == 'cells':
        g = Grab(args[0])
        x, y, cols, rows, edge, margin = map(int, args[1:7])
        print(' '.join(cells(g, x, y, cols, rows, edge, margin, args[7])))
    else:
        raise SystemExit(__doc__)


GROUND = (128, 128, 128)
MARGIN = 5


def find_board(g, x, y, w, h, bw, bh):
    """The top-left corner of the board: the first row inside the rectangle whose ground run
    is exactly bw long and, with the rows and columns that follow, frames bh rows of cells."""
    for j in range(y, y + h - bh + 1):
        row = g.row(x, j, w)
        for i in range(w - bw + 1):
            if row[i] != GROUND or (i > 0 and row[i - 1] == GROUND):
                continue
            if i + bw < w and row[i + bw] == GROUND:
                continue
            if any(p != GROUND for p in row[i:i + bw]):
                continue
            left = x + i
            if is_board(g, left, j, bw, bh):
                return f'{left} {j}'
    return 'none'


def is_board(g, left, top, bw, bh):
    def ground_rows(first, count):
        return all(p == GROUND for r in range(first, first + count) for p in g.row(left, r, bw))

    def ground_columns(first, count):
        return all(g.rgb(c, r) == GROUND
                   for c in range(first, first + count) for r in range(top, top + bh))
    inside = ground_rows(top, MARGIN) and ground_rows(top + bh - MARGIN, MARGIN) and \
        ground_columns(left, MARGIN) and ground_columns(left + bw - MARGIN, MARGIN)
    # Past the board's edges the window's own frame begins, not more ground.
    outside = [g.rgb(left + bw, top + bh // 2), g.rgb(left + bw // 2, top + bh),
               g.rgb(left - 1, top + bh // 2), g.rgb(left + bw // 2, top - 1)]
    return inside and GROUND not in outside


def pictures(assets):
    known = {}
    for path in sorted(glob.glob(os.path.join(assets, 'pictures', 'slot-*.bmp'))):
        slot = int(os.path.basename(path)[5:7])
        with open(path, 'rb') as f:
            data = f.read()
        pixels = []
        for y in range(35):
            row = data[54 + (34 - y) * 108:]
            pixels += [(row[i * 3 + 2], row[i * 3 + 1], row[i * 3]) for i in range(35)]
        known[tuple(pixels)] = slot
    return known


def cells(g, x, y, cols, rows, edge, margin, assets):
    known = pictures(assets)
    step = edge // 35
    out = []
    for r in range(rows):
        for c in range(cols):
            left, top = x + margin + c * edge, y + margin + r * edge
            pixels = tuple(g.rgb(left + i * step, top + j * step)
                           for j in range(35) for i in range(35))
            out.append(str(known.get(pixels, '?')))
    return out


if __name__ == '__main__':
    main(sys.argv)
