#!/usr/bin/env python3
"""Finds the game's pictures in screenshots (used by content_screens_e2e.sh).

  match PICTURE.png SHOT.png X Y     share of the picture's opaque pixels found at (X, Y)
  tiles TILES.png SHOT.png           share of the screen's 16 x 16 cells that are tiles
  sprite SHEET.png TILES.png SHOT.png X Y W H
                                     pixels in the box coloured as only the sprite sheet is

Colours are compared as the 16-bit display keeps them (5, 6 and 5 bits).
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "artgen"))
from pngio import read_png  # noqa: E402

MASK = (255, 0, 255)


def q(c):
    return (c[0] >> 3, c[1] >> 2, c[2] >> 3)


def match(pic, shot, x0, y0):
    seen = hit = 0
    for y in range(pic.h):
        for x in range(pic.w):
            c = pic.px[y * pic.w + x]
            if c == MASK:
                continue
            s = shot.get(x0 + x, y0 + y)
            if s is None:
                continue
            seen += 1
            hit += q(c) == q(s)
    return hit / seen if seen else 0.0


def cells(img, x0, y0):
    rows = [bytes(v for c in img.px[y * img.w:(y + 1) * img.w] for v in q(c)) for y in range(img.h)]
    out = {}
    for cy in range(y0, img.h - 15, 16):
        for cx in range(x0, img.w - 15, 16):
            out[(cx, cy)] = b"".join(rows[cy + k][cx * 3:(cx + 16) * 3] for k in range(16))
    return out


def tiles(tileset, shot):
    # Only drawn tiles count: the sheet's unused cells are plain black, like an empty screen.
    known = {v for v in cells(tileset, 0, 0).values() if len(set(v[i:i + 3] for i in range(0, len(v), 3))) > 1}
    best = (0.0, 0, 0)
    for oy in range(16):
        for ox in range(16):
            # a quick look at a handful of cells first: the right offset shows at once
            sample = cells(shot.crop(ox, oy, min(shot.w - ox, 16 * 12), min(shot.h - oy, 16 * 6)), 0, 0)
            if not any(v in known for v in sample.values()):
                continue
            allc = cells(shot, ox, oy)
            share = sum(v in known for v in allc.values()) / len(allc)
            best = max(best, (share, ox, oy))
    return best


def main():
    cmd = sys.argv[1]
    if cmd == "match":
        print("%.3f" % match(read_png(sys.argv[2]), read_png(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5])))
    elif cmd == "tiles":
        share, ox, oy = tiles(read_png(sys.argv[2]), read_png(sys.argv[3]))
        print("%.3f %d %d" % (share, ox, oy))
    elif cmd == "sprite":
        sheet, tileset, shot = read_png(sys.argv[2]), read_png(sys.argv[3]), read_png(sys.argv[4])
        x, y, w, h = (int(v) for v in sys.argv[5:9])
        want = {q(c) for c in sheet.px} - {q(c) for c in tileset.px} - {q(MASK)}
        print(sum(q(shot.get(x + i, y + j) or (0, 0, 0)) in want for j in range(h) for i in range(w)))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
