"""The tileset: 16 x 16 cells, 16 per row; TILES lists every tile by number (see content/art/TILES.md)."""
import random

from pngio import Image

MASK = (255, 0, 255)

GRASS = [(48, 120, 40), (64, 144, 48), (88, 168, 64), (112, 192, 80)]
DIRT = [(120, 88, 48), (152, 112, 64), (176, 136, 80), (200, 160, 104)]
SAND = [(200, 176, 112), (224, 200, 136), (240, 220, 160)]
WATER = [(24, 56, 144), (40, 88, 184), (64, 120, 216), (152, 200, 248)]
STONE = [(64, 64, 80), (96, 96, 112), (128, 128, 144), (168, 168, 184)]
BRICK = [(112, 48, 32), (152, 72, 48), (184, 104, 72)]
WOOD = [(80, 48, 24), (112, 72, 40), (144, 96, 56), (176, 128, 80)]
ROOF_R = [(104, 24, 24), (160, 40, 32), (200, 72, 48)]
ROOF_B = [(24, 40, 104), (40, 64, 160), (72, 104, 200)]
ROOF_T = [(104, 80, 32), (144, 112, 48), (184, 152, 72)]
CAVE = [(48, 40, 40), (72, 60, 56), (96, 84, 76), (120, 108, 96)]
ASH = [(56, 52, 52), (80, 76, 72), (104, 96, 92), (136, 128, 120)]
LAVA = [(160, 24, 0), (224, 72, 0), (255, 144, 16), (255, 216, 64)]
CLOUD = [(168, 184, 216), (208, 216, 240), (240, 244, 255)]
SKY = [(72, 128, 216), (96, 152, 232)]
LEAF = [(24, 72, 32), (32, 104, 40), (56, 136, 48), (96, 168, 64)]
BLACK = (16, 16, 24)
GOLD = [(136, 96, 16), (208, 160, 32), (248, 224, 96)]
RED = [(120, 16, 24), (176, 32, 40), (216, 64, 64)]
BLUE = [(24, 32, 104), (40, 56, 160), (72, 96, 200)]


def noise(t, rng, ramp, weights=None, x0=0, y0=0, x1=15, y1=15):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            t.set(x, y, rng.choices(ramp, weights=weights)[0])


def speckle(t, rng, colour, count):
    for _ in range(count):
        t.set(rng.randrange(16), rng.randrange(16), colour)


def grass(t, rng):
    noise(t, rng, GRASS[:3], [3, 6, 2])
    for _ in range(10):
        x, y = rng.randrange(16), rng.randrange(1, 16)
        t.set(x, y, GRASS[3]); t.set(x, y - 1, GRASS[2])


def grass2(t, rng):
    grass(t, rng)
    for _ in range(6):
        x, y = rng.randrange(15), rng.randrange(15)
        t.set(x, y, GRASS[0]); t.set(x + 1, y + 1, GRASS[0])


def flowers(t, rng, colours=((232, 56, 72), (248, 224, 64), (248, 248, 248))):
    grass(t, rng)
    for _ in range(5):
        x, y = rng.randrange(1, 15), rng.randrange(1, 15)
        c = rng.choice(colours)
        for ox, oy in ((0, -1), (-1, 0), (1, 0), (0, 1)):
            t.set(x + ox, y + oy, c)
        t.set(x, y, GOLD[2])


def tallgrass(t, rng):
    noise(t, rng, GRASS[:2], [2, 3])
    for _ in range(14):
        x, y = rng.randrange(16), rng.randrange(3, 16)
        for k in range(3):
            t.set(x, y - k, GRASS[3] if k == 2 else GRASS[2])


def path(t, rng):
    noise(t, rng, DIRT[1:], [3, 5, 2])
    speckle(t, rng, DIRT[0], 8)


def cobble(t, rng):
    t.rect(0, 0, 15, 15, STONE[0])
    for by in range(0, 16, 4):
        off = 2 if (by // 4) % 2 else 0
        for bx in range(-2, 16, 4):
            c = rng.choice(STONE[1:3])
            t.rect(bx + off, by, bx + off + 2, by + 2, c)
            t.set(bx + off, by, STONE[3])


def sand(t, rng):
    noise(t, rng, SAND, [3, 5, 2])
    speckle(t, rng, DIRT[2], 6)


def mud(t, rng):
    noise(t, rng, DIRT[:3], [3, 4, 1])


def ash(t, rng):
    noise(t, rng, ASH[:3], [2, 5, 2])
    speckle(t, rng, ASH[3], 5)


def ash_cracked(t, rng):
    ash(t, rng)
    x, y = rng.randrange(3, 6), 0
    while y < 16:
        t.set(x, y, LAVA[0])
        x += rng.choice((-1, 0, 1)); y += 1
        x = max(1, min(14, x))


def lava(t, rng):
    noise(t, rng, LAVA[:3], [2, 5, 2])
    for _ in range(4):
        x, y = rng.randrange(15), rng.randrange(16)
        t.set(x, y, LAVA[3]); t.set(x + 1, y, LAVA[3])


def cavefloor(t, rng):
    noise(t, rng, CAVE[1:3], [5, 2])
    speckle(t, rng, CAVE[0], 10)


def caverough(t, rng):
    cavefloor(t, rng)
    for _ in range(3):
        x, y = rng.randrange(1, 14), rng.randrange(1, 14)
        t.rect(x, y, x + 1, y + 1, CAVE[3]); t.set(x + 1, y + 2, CAVE[0]); t.set(x + 2, y + 1, CAVE[0])


def planks(t, rng, ramp=WOOD):
    for y in range(16):
        for x in range(16):
            t.set(x, y, ramp[2] if (x + y * 3) % 7 else ramp[1])
    for y in range(3, 16, 4):
        t.rect(0, y, 15, y, ramp[0])
    for y in range(0, 16, 4):
        e = (y * 5) % 16
        t.rect(e, y, e, y + 2, ramp[0])


def tiles_floor(t, rng, a=STONE[2], b=STONE[3], line=STONE[1]):
    for y in range(16):
        for x in range(16):
            t.set(x, y, a if ((x // 8) + (y // 8)) % 2 else b)
    t.rect(0, 0, 15, 0, line); t.rect(0, 0, 0, 15, line); t.rect(0, 8, 15, 8, line); t.rect(8, 0, 8, 15, line)


def carpet(t, rng, ramp=RED):
    t.rect(0, 0, 15, 15, ramp[1])
    t.rect(0, 0, 15, 1, GOLD[1]); t.rect(0, 14, 15, 15, GOLD[1])
    for x in range(0, 16, 4):
        t.set(x + 1, 7, ramp[2]); t.set(x + 2, 8, ramp[2]); t.set(x, 8, ramp[2]); t.set(x + 1, 9, ramp[2])
    for x in range(16):
        t.set(x, 2, ramp[0]); t.set(x, 13, ramp[0])


def water(t, rng, deep=False):
    noise(t, rng, WATER[:3] if not deep else WATER[:2], [2, 5, 2] if not deep else [4, 3])
    for _ in range(4):
        x, y = rng.randrange(13), rng.randrange(16)
        t.rect(x, y, x + 2, y, WATER[3] if not deep else WATER[2])


def shore(t, rng, side):
    """Water with a grass bank along the given sides ('n', 's', 'w', 'e' letters)."""
    water(t, rng)
    for y in range(16):
        for x in range(16):
            d = min([y if 'n' in side else 99, 15 - y if 's' in side else 99,
                     x if 'w' in side else 99, 15 - x if 'e' in side else 99])
            if d < 4:
                t.set(x, y, rng.choice(GRASS[1:3]))
            elif d == 4:
                t.set(x, y, SAND[1])
            elif d == 5:
                t.set(x, y, WATER[3])


def shore_inner(t, rng, corner):
    """Water with only a grass corner (inner corner of a lake)."""
    water(t, rng)
    cx = 0 if 'w' in corner else 15
    cy = 0 if 'n' in corner else 15
    for y in range(16):
        for x in range(16):
            d = max(abs(x - cx), abs(y - cy))
            if d < 4:
                t.set(x, y, rng.choice(GRASS[1:3]))
            elif d == 4:
                t.set(x, y, SAND[1])
            elif d == 5:
                t.set(x, y, WATER[3])


def bridge(t, rng, vertical):
    water(t, rng)
    for i in range(16):
        for j in range(2, 14):
            x, y = (j, i) if vertical else (i, j)
            t.set(x, y, WOOD[2] if (i % 4) else WOOD[0])
    for i in range(16):
        for j in (1, 14):
            x, y = (j, i) if vertical else (i, j)
            t.set(x, y, WOOD[0])


def stonewall(t, rng, ramp=STONE):
    t.rect(0, 0, 15, 15, ramp[0])
    for row in range(4):
        off = 4 if row % 2 else 0
        for bx in range(-4, 16, 8):
            x0 = bx + off
            t.rect(x0 + 1, row * 4 + 1, x0 + 7, row * 4 + 3, ramp[1])
            t.rect(x0 + 1, row * 4 + 1, x0 + 6, row * 4 + 1, ramp[2])
            if rng.random() < 0.3:
                t.set(x0 + rng.randrange(2, 6), row * 4 + 2, ramp[0])


def walltop(t, rng):
    t.rect(0, 0, 15, 15, STONE[1])
    t.rect(0, 0, 15, 2, STONE[3]); t.rect(0, 13, 15, 15, STONE[0])
    speckle(t, rng, STONE[2], 10)


def brickwall(t, rng):
    stonewall(t, rng, [BRICK[0], BRICK[1], BRICK[2]])


def woodwall(t, rng):
    for x in range(16):
        c = WOOD[1] if x % 4 else WOOD[0]
        t.rect(x, 0, x, 15, c)
    speckle(t, rng, WOOD[2], 12)
    t.rect(0, 15, 15, 15, WOOD[0])


def window_wall(t, rng):
    woodwall(t, rng)
    t.rect(3, 3, 12, 11, WOOD[0]); t.rect(4, 4, 11, 10, (120, 176, 232))
    t.rect(7, 4, 8, 10, WOOD[0]); t.rect(4, 7, 11, 7, WOOD[0]); t.rect(4, 4, 6, 5, (220, 240, 255))


def door(t, rng):
    stone_wall_top(t, rng)
    t.rect(2, 3, 13, 15, STONE[0]); t.rect(3, 4, 12, 15, WOOD[0]); t.rect(4, 5, 11, 15, WOOD[2])
    for x in (6, 9):
        t.rect(x, 5, x, 15, WOOD[1])
    t.set(10, 10, GOLD[2]); t.set(10, 11, GOLD[0])


def roof(t, rng, ramp):
    for y in range(16):
        for x in range(16):
            row = y // 4
            edge = (x + (2 if row % 2 else 0)) % 4 == 0
            t.set(x, y, ramp[0] if (y % 4 == 3 or edge) else (ramp[2] if y % 4 == 0 else ramp[1]))


def cliff(t, rng):
    noise(t, rng, [(104, 88, 64), (128, 108, 80), (152, 128, 96)], [3, 4, 2])
    for x in range(0, 16, 5):
        for y in range(16):
            t.set(x + (y // 5) % 2, y, (72, 60, 44))
    t.rect(0, 0, 15, 1, GRASS[1])


def cliff_top(t, rng):
    grass(t, rng)
    t.rect(0, 12, 15, 15, (128, 108, 80)); t.rect(0, 12, 15, 12, (72, 60, 44))


def cavewall(t, rng):
    noise(t, rng, CAVE[:2], [3, 2])
    for _ in range(5):
        x, y = rng.randrange(14), rng.randrange(14)
        t.rect(x, y, x + 2, y + 1, CAVE[2]); t.rect(x, y + 2, x + 2, y + 2, BLACK)


def cave_entrance(t, rng):
    cliff(t, rng)
    for y in range(3, 16):
        w = min(6, (y - 3) + 3)
        t.rect(8 - w, y, 7 + w, y, BLACK)


def fence(t, rng):
    grass(t, rng)
    for x in (1, 7, 13):
        t.rect(x, 4, x + 1, 14, WOOD[1]); t.set(x, 4, WOOD[3])
    t.rect(0, 6, 15, 7, WOOD[2]); t.rect(0, 11, 15, 12, WOOD[2]); t.rect(0, 8, 15, 8, WOOD[0])


def leaf_crown(t, rng, rows, cy, ry2, rim, lit_below):
    """An elliptic crown of leaves centred on column 7.5 and row cy: a dark rim past `rim`,
    lit leaves in its upper left (above row `lit_below`)."""
    for y in rows:
        for x in range(16):
            d = ((x - 7.5) ** 2) / 56 + ((y - cy) ** 2) / ry2
            if d < 1:
                c = LEAF[2] if rng.random() < 0.6 else LEAF[1]
                if d > rim:
                    c = LEAF[0]
                elif x < 7 and y < lit_below and rng.random() < 0.5:
                    c = LEAF[3]
                t.set(x, y, c)


def tree_overlay(t, rng, pine=False):
    t.rect(0, 0, 15, 15, MASK)
    t.rect(6, 11, 9, 15, WOOD[1]); t.rect(6, 11, 6, 15, WOOD[0])
    if pine:
        for y in range(0, 13):
            w = 1 + y // 2
            t.rect(8 - w, y, 7 + w, y, LEAF[1] if (y % 4) else LEAF[0])
            t.set(8 - w, y, LEAF[0]); t.set(7 + w, y, LEAF[0])
            if y % 4 == 1:
                t.set(8 - w + 1, y, LEAF[3])
    else:
        leaf_crown(t, rng, rows=range(0, 13), cy=6, ry2=42, rim=0.75, lit_below=6)


def bush_overlay(t, rng):
    t.rect(0, 0, 15, 15, MASK)
    for y in range(5, 16):
        for x in range(16):
            d = ((x - 7.5) ** 2) / 60 + ((y - 10.5) ** 2) / 28
            if d < 1:
                t.set(x, y, LEAF[0] if d > 0.7 else rng.choice(LEAF[1:4]))


def flowers_overlay(t, rng):
    t.rect(0, 0, 15, 15, MASK)
    for _ in range(6):
        x, y = rng.randrange(2, 14), rng.randrange(2, 14)
        c = rng.choice(((232, 56, 72), (248, 224, 64), (200, 120, 248)))
        t.set(x, y + 1, LEAF[2])
        for ox, oy in ((0, -1), (-1, 0), (1, 0)):
            t.set(x + ox, y + oy, c)
        t.set(x, y, GOLD[2])


def rock_overlay(t, rng):
    t.rect(0, 0, 15, 15, MASK)
    for y in range(4, 15):
        for x in range(1, 15):
            d = ((x - 7.5) ** 2) / 44 + ((y - 10) ** 2) / 30
            if d < 1:
                c = STONE[1] if d > 0.6 or y > 11 else STONE[2]
                if x < 6 and y < 8:
                    c = STONE[3]
                t.set(x, y, STONE[0] if d > 0.85 else c)


def sign_overlay(t, rng):
    t.rect(0, 0, 15, 15, MASK)
    t.rect(7, 9, 8, 15, WOOD[0])
    t.rect(2, 2, 13, 9, WOOD[0]); t.rect(3, 3, 12, 8, WOOD[3])
    for y in (4, 6):
        t.rect(4, y, 11, y, WOOD[1])


def chest_overlay(t, rng, opened=False):
    t.rect(0, 0, 15, 15, MASK)
    t.rect(2, 5, 13, 14, BLACK)
    t.rect(3, 6, 12, 13, WOOD[2])
    t.rect(3, 9, 12, 9, WOOD[0])
    t.rect(3, 6, 12, 6, WOOD[3])
    if opened:
        t.rect(3, 6, 12, 8, BLACK); t.rect(2, 2, 13, 5, WOOD[1]); t.rect(2, 2, 13, 2, WOOD[3])
        t.set(6, 7, GOLD[2]); t.set(9, 8, GOLD[2])
    t.rect(7, 8, 8, 11, GOLD[1]); t.set(7, 10, BLACK)
    t.rect(2, 14, 13, 14, BLACK)


def switch_overlay(t, rng, on):
    t.rect(0, 0, 15, 15, MASK)
    t.rect(3, 10, 12, 14, STONE[0]); t.rect(4, 11, 11, 13, STONE[2])
    if on:
        for i in range(7):
            t.set(9 + i // 2, 10 - i, WOOD[1])
        t.rect(12, 2, 13, 3, (64, 232, 64))
    else:
        for i in range(7):
            t.set(6 - i // 2, 10 - i, WOOD[1])
        t.rect(2, 2, 3, 3, (232, 48, 48))


def torch_overlay(t, rng):
    t.rect(0, 0, 15, 15, MASK)
    t.rect(7, 7, 8, 14, WOOD[0])
    t.rect(6, 6, 9, 7, STONE[1])
    for y, w, c in ((1, 0, LAVA[3]), (2, 1, LAVA[3]), (3, 1, LAVA[2]), (4, 2, LAVA[2]), (5, 1, LAVA[1])):
        t.rect(7 - w + 1, y, 8 + w - 1, y, c)
    t.set(7, 0, LAVA[3])


def barrel_overlay(t, rng):
    t.rect(0, 0, 15, 15, MASK)
    t.rect(3, 2, 12, 15, WOOD[0]); t.rect(4, 2, 11, 15, WOOD[2])
    t.rect(4, 2, 11, 3, WOOD[3]); t.rect(3, 5, 12, 5, STONE[1]); t.rect(3, 12, 12, 12, STONE[1])
    t.rect(6, 4, 6, 14, WOOD[1])


def crate_overlay(t, rng):
    t.rect(0, 0, 15, 15, MASK)
    t.rect(1, 2, 14, 15, WOOD[0]); t.rect(2, 3, 13, 14, WOOD[2])
    for i in range(12):
        t.set(2 + i, 3 + i, WOOD[1]); t.set(13 - i, 3 + i, WOOD[1])


def well_overlay(t, rng):
    t.rect(0, 0, 15, 15, MASK)
    t.rect(1, 7, 14, 15, STONE[0]); t.rect(2, 8, 13, 14, STONE[2]); t.rect(4, 8, 11, 11, WATER[0])
    t.rect(2, 0, 2, 7, WOOD[0]); t.rect(13, 0, 13, 7, WOOD[0]); t.rect(1, 0, 14, 1, ROOF_R[1])


def object_overlay(t, rng):
    """Tile 95: something lying on the ground, a tied pouch with a glint."""
    t.rect(0, 0, 15, 15, MASK)
    for y in range(6, 15):
        for x in range(2, 14):
            d = ((x - 7.5) ** 2) / 30 + ((y - 10.5) ** 2) / 18
            if d < 1:
                t.set(x, y, (96, 56, 24) if d > 0.7 else ((176, 120, 64) if x < 7 else (144, 96, 48)))
    t.rect(6, 4, 9, 6, (144, 96, 48)); t.rect(5, 6, 10, 6, (224, 48, 48))
    t.rect(5, 3, 10, 3, (96, 56, 24))
    t.set(12, 3, (255, 255, 255)); t.set(11, 3, GOLD[2]); t.set(13, 3, GOLD[2]); t.set(12, 2, GOLD[2]); t.set(12, 4, GOLD[2])
    t.rect(3, 15, 12, 15, (24, 40, 24))


def grave_overlay(t, rng):
    t.rect(0, 0, 15, 15, MASK)
    t.rect(4, 3, 11, 14, STONE[0]); t.rect(5, 2, 10, 2, STONE[0]); t.rect(5, 3, 10, 13, STONE[2])
    t.rect(7, 5, 8, 11, STONE[0]); t.rect(5, 7, 10, 7, STONE[0])


def on(base, overlay):
    def paint(t, rng):
        base(t, rng)
        o = Image(16, 16)
        overlay(o, rng)
        t.blit(o, 0, 0, MASK)
    return paint


def furniture(kind):
    def paint(t, rng):
        planks(t, rng)
        if kind == "table":
            t.rect(1, 4, 14, 11, WOOD[0]); t.rect(2, 4, 13, 9, WOOD[3]); t.rect(2, 12, 3, 15, WOOD[0]); t.rect(12, 12, 13, 15, WOOD[0])
        elif kind == "chair":
            t.rect(4, 2, 11, 6, WOOD[0]); t.rect(4, 7, 11, 11, WOOD[1]); t.rect(4, 12, 5, 15, WOOD[0]); t.rect(10, 12, 11, 15, WOOD[0])
        elif kind == "bedtop":
            t.rect(1, 1, 14, 15, WOOD[0]); t.rect(2, 2, 13, 8, (240, 240, 240)); t.rect(2, 9, 13, 15, BLUE[1])
        elif kind == "bedbottom":
            t.rect(1, 0, 14, 13, WOOD[0]); t.rect(2, 0, 13, 11, BLUE[1]); t.rect(2, 6, 13, 6, BLUE[2])
        elif kind == "shelf":
            t.rect(0, 0, 15, 15, WOOD[0])
            for y in (1, 6, 11):
                for x in range(1, 15):
                    t.set(x, y, WOOD[1])
                    t.rect(x, y + 1, x, y + 4, rng.choice((RED[1], BLUE[1], GOLD[1], LEAF[2], WOOD[3])))
        elif kind == "counter":
            t.rect(0, 3, 15, 15, WOOD[0]); t.rect(0, 3, 15, 6, WOOD[3]); t.rect(0, 8, 15, 15, WOOD[1])
            for x in range(2, 16, 5):
                t.rect(x, 9, x, 14, WOOD[0])
        elif kind == "fireplace":
            t.rect(0, 0, 15, 15, STONE[1]); stonewall(t, rng); t.rect(3, 5, 12, 15, BLACK)
            t.rect(5, 10, 10, 15, LAVA[1]); t.rect(6, 8, 9, 12, LAVA[2]); t.rect(7, 7, 8, 9, LAVA[3])
        elif kind == "pot":
            for y in range(5, 15):
                for x in range(3, 13):
                    d = ((x - 7.5) ** 2) / 22 + ((y - 10) ** 2) / 22
                    if d < 1:
                        t.set(x, y, (136, 72, 40) if d > 0.6 else (184, 104, 64))
            t.rect(5, 3, 10, 5, (136, 72, 40))
        elif kind == "stairsdown":
            for i in range(5):
                t.rect(1 + i, 2 + i * 3, 14 - i, 4 + i * 3, STONE[3 - min(3, i)] if i < 4 else BLACK)
        elif kind == "stairsup":
            for i in range(5):
                t.rect(1, 1 + i * 3, 14, 3 + i * 3, STONE[min(3, i)])
                t.rect(1, 3 + i * 3, 14, 3 + i * 3, STONE[0])
        elif kind == "altar":
            t.rect(2, 5, 13, 14, STONE[0]); t.rect(3, 6, 12, 13, STONE[3]); t.rect(3, 6, 12, 7, (240, 240, 240))
            t.rect(7, 1, 8, 5, GOLD[2]); t.rect(5, 2, 10, 2, GOLD[2])
        elif kind == "throne":
            t.rect(3, 0, 12, 15, GOLD[0]); t.rect(4, 1, 11, 14, GOLD[1]); t.rect(5, 3, 10, 12, RED[1]); t.rect(5, 8, 10, 9, RED[2])
            t.set(7, 1, RED[2]); t.set(8, 1, RED[2])
        elif kind == "pillar":
            t.rect(4, 0, 11, 15, STONE[1]); t.rect(5, 0, 7, 15, STONE[3]); t.rect(3, 0, 12, 1, STONE[2]); t.rect(3, 14, 12, 15, STONE[2])
        elif kind == "window":
            stonewall(t, rng); t.rect(4, 3, 11, 12, BLACK); t.rect(5, 4, 10, 12, (104, 152, 224)); t.rect(7, 4, 8, 12, STONE[0])
        elif kind == "barrel":
            o = Image(16, 16); barrel_overlay(o, rng); t.blit(o, 0, 0, MASK)
        elif kind == "crate":
            o = Image(16, 16); crate_overlay(o, rng); t.blit(o, 0, 0, MASK)
    return paint


def castle_floor(t, rng):
    tiles_floor(t, rng, (176, 168, 152), (200, 192, 176), (120, 112, 104))


def castle_wall(t, rng):
    stonewall(t, rng, [(56, 56, 72), (112, 104, 120), (152, 144, 160)])


def castle_banner(t, rng):
    castle_wall(t, rng)
    t.rect(4, 0, 11, 13, RED[1]); t.rect(4, 0, 11, 1, GOLD[1])
    t.rect(6, 4, 9, 8, GOLD[2]); t.set(5, 14, RED[1]); t.set(10, 14, RED[1]); t.rect(7, 14, 8, 14, RED[0])


def castle_gate(t, rng):
    castle_wall(t, rng)
    t.rect(2, 2, 13, 15, BLACK)
    for x in range(3, 13, 3):
        t.rect(x, 3, x, 15, STONE[1])
    for y in range(5, 16, 4):
        t.rect(2, y, 13, y, STONE[1])


def battlement(t, rng):
    t.rect(0, 0, 15, 15, (112, 104, 120))
    for x in range(0, 16, 8):
        t.rect(x, 0, x + 3, 5, (152, 144, 160)); t.rect(x + 4, 0, x + 7, 5, (40, 40, 56))
    t.rect(0, 6, 15, 6, (56, 56, 72))
    speckle(t, rng, (96, 88, 104), 10)


def castle_pillar(t, rng):
    castle_floor(t, rng)
    t.rect(4, 0, 11, 15, STONE[1]); t.rect(5, 0, 7, 15, STONE[3]); t.rect(3, 0, 12, 1, STONE[2]); t.rect(3, 14, 12, 15, STONE[2])


def hedge(t, rng):
    noise(t, rng, LEAF[:3], [2, 4, 3])
    t.rect(0, 14, 15, 15, LEAF[0])
    speckle(t, rng, LEAF[3], 8)


def fountain(t, rng):
    castle_floor(t, rng)
    for y in range(16):
        for x in range(16):
            d = ((x - 7.5) ** 2 + (y - 7.5) ** 2) ** 0.5
            if d < 7.5:
                t.set(x, y, STONE[1] if d > 6 else rng.choice(WATER[1:4]))
    t.rect(7, 5, 8, 10, (232, 240, 255))


def marble(t, rng):
    noise(t, rng, [(224, 224, 232), (240, 240, 248)], [1, 3])
    for i in range(16):
        t.set(i, (i * 5 // 3) % 16, (200, 200, 216))
    t.rect(0, 0, 15, 0, (184, 184, 200)); t.rect(0, 0, 0, 15, (184, 184, 200))


def sky(t, rng):
    noise(t, rng, SKY, [3, 2])


def cloud(t, rng):
    noise(t, rng, CLOUD[1:], [2, 3])
    speckle(t, rng, CLOUD[0], 8)


def cloud_edge(side):
    def paint(t, rng):
        sky(t, rng)
        for y in range(16):
            for x in range(16):
                d = {"n": 15 - y, "s": y, "w": 15 - x, "e": x}[side]
                wob = int(2 * abs(((x if side in "ns" else y) % 6) - 3) / 3)
                if d + wob < 11:
                    t.set(x, y, CLOUD[2] if d + wob < 8 else CLOUD[0])
    return paint


def crystal(t, rng):
    cloud(t, rng)
    for y in range(2, 15):
        w = min(y - 1, 15 - y) // 2
        t.rect(8 - w, y, 7 + w, y, (120, 216, 248) if y < 9 else (72, 152, 216))
    t.set(6, 5, (255, 255, 255))


def deck(t, rng):
    planks(t, rng, [(72, 40, 24), (104, 64, 32), (136, 88, 48), (168, 120, 72)])


def lava_edge(side):
    def paint(t, rng):
        lava(t, rng)
        for y in range(16):
            for x in range(16):
                d = {"n": y, "s": 15 - y, "w": x, "e": 15 - x}[side]
                if d < 4:
                    t.set(x, y, rng.choice(ASH[1:3]))
                elif d == 4:
                    t.set(x, y, BLACK)
    return paint


def charred(t, rng):
    ash(t, rng)
    for _ in range(4):
        x, y = rng.randrange(12), rng.randrange(12)
        t.rect(x, y, x + 3, y + 2, (40, 32, 32)); t.rect(x, y, x + 2, y, (72, 64, 60))


def obsidian(t, rng):
    stonewall(t, rng, [(16, 12, 20), (40, 32, 48), (72, 56, 88)])


def bones(t, rng):
    ash(t, rng)
    t.rect(3, 9, 11, 10, (232, 224, 200)); t.rect(2, 8, 3, 11, (232, 224, 200)); t.rect(11, 8, 12, 11, (232, 224, 200))
    t.rect(9, 3, 12, 6, (232, 224, 200)); t.set(10, 4, BLACK); t.set(12, 4, BLACK)


def dead_tree(t, rng):
    ash(t, rng)
    t.rect(7, 4, 8, 15, (56, 40, 32))
    for i in range(4):
        t.set(6 - i, 6 - i, (56, 40, 32)); t.set(9 + i, 8 - i, (56, 40, 32))


def vent(t, rng):
    ash(t, rng)
    t.rect(5, 9, 10, 12, BLACK); t.rect(6, 10, 9, 11, LAVA[1])
    for i, y in enumerate(range(1, 8)):
        t.set(7 + (i % 3) - 1, y, (160, 152, 152))


def ruin_wall(t, rng):
    stonewall(t, rng, [(48, 64, 48), (96, 104, 88), (128, 136, 112)])
    speckle(t, rng, LEAF[2], 12)


def cracked_wall(t, rng):
    ruin_wall(t, rng)
    x = 7
    for y in range(16):
        t.set(x, y, BLACK); x += rng.choice((-1, 0, 1)); x = max(3, min(12, x))


def rubble(t, rng):
    cavefloor(t, rng)
    for _ in range(5):
        x, y = rng.randrange(13), rng.randrange(13)
        t.rect(x, y, x + 2, y + 2, STONE[1]); t.set(x, y, STONE[3]); t.set(x + 2, y + 2, STONE[0])


def mossy(t, rng):
    tiles_floor(t, rng, (104, 112, 96), (120, 128, 108), (72, 80, 64))
    speckle(t, rng, LEAF[2], 14)


def blank(t, rng):
    t.rect(0, 0, 15, 15, (0, 0, 0))


def table_overlay(t, rng):
    t.rect(0, 0, 15, 15, MASK)
    t.rect(1, 3, 14, 11, WOOD[0]); t.rect(2, 3, 13, 9, WOOD[3]); t.rect(2, 3, 13, 3, (216, 176, 120))
    t.rect(2, 12, 3, 15, WOOD[0]); t.rect(12, 12, 13, 15, WOOD[0])
    t.rect(6, 5, 9, 7, (232, 232, 240)); t.set(7, 6, RED[2])


def bed_overlay(t, rng):
    t.rect(0, 0, 15, 15, MASK)
    t.rect(2, 0, 13, 15, WOOD[0]); t.rect(3, 1, 12, 5, (240, 240, 240)); t.rect(3, 6, 12, 14, BLUE[1])
    t.rect(3, 6, 12, 6, BLUE[2]); t.rect(3, 10, 12, 10, BLUE[0])


def counter_overlay(t, rng):
    t.rect(0, 0, 15, 15, MASK)
    t.rect(0, 3, 15, 15, WOOD[0]); t.rect(0, 3, 15, 6, WOOD[3]); t.rect(0, 8, 15, 15, WOOD[1])
    for x in range(2, 16, 5):
        t.rect(x, 9, x, 14, WOOD[0])
    t.rect(10, 1, 13, 3, GOLD[1]); t.set(11, 1, GOLD[2])


def rug_overlay(t, rng):
    t.rect(0, 0, 15, 15, MASK)
    t.rect(1, 0, 14, 15, RED[1]); t.rect(1, 0, 14, 0, GOLD[1]); t.rect(1, 15, 14, 15, GOLD[1])
    t.rect(1, 0, 1, 15, GOLD[1]); t.rect(14, 0, 14, 15, GOLD[1])
    for y in range(3, 13, 4):
        t.rect(6, y, 9, y + 1, RED[2]); t.set(7, y - 1, RED[2]); t.set(8, y + 2, RED[2])


def pot_overlay(t, rng):
    t.rect(0, 0, 15, 15, MASK)
    for y in range(8, 15):
        for x in range(4, 12):
            d = ((x - 7.5) ** 2) / 14 + ((y - 11) ** 2) / 12
            if d < 1:
                t.set(x, y, (136, 72, 40) if d > 0.6 else (184, 104, 64))
    t.rect(5, 7, 10, 8, (120, 64, 32))
    for x, y, c in ((5, 5, (232, 56, 72)), (8, 3, (248, 224, 64)), (10, 5, (200, 120, 248)), (7, 6, LEAF[2]), (9, 6, LEAF[2]), (6, 6, LEAF[1])):
        t.set(x, y, c); t.set(x, y + 1, LEAF[2])


def stairs_overlay(t, rng):
    """Stairs down into the dark: what portals to caves and cellars stand on."""
    t.rect(0, 0, 15, 15, MASK)
    t.rect(1, 1, 14, 15, STONE[0])
    for i in range(4):
        t.rect(2 + i, 2 + i * 3, 13 - i, 3 + i * 3, STONE[3 - i])
    t.rect(6, 14, 9, 15, BLACK)


def treetop_overlay(t, rng):
    """The crown of a taller tree, for the cell above tile 7."""
    t.rect(0, 0, 15, 15, MASK)
    leaf_crown(t, rng, rows=range(3, 16), cy=15, ry2=150, rim=0.8, lit_below=9)


def stone_wall_top(t, rng):
    """Wall seen from above: a coping of large stones with a shadowed face below."""
    stonewall(t, rng)
    t.rect(0, 0, 15, 3, STONE[2]); t.rect(0, 0, 15, 0, STONE[3])
    for x in range(0, 16, 5):
        t.rect(x, 1, x, 3, STONE[0])
    t.rect(0, 4, 15, 4, STONE[0])


def tree_on_grass(t, rng):
    grass(t, rng)
    o = Image(16, 16)
    tree_overlay(o, rng)
    t.blit(o, 0, 0, MASK)


# (number, name, painter[, "overlay"]) in tileset order; numbers are what the maps store.
# 1-32 follow the numbering the maps were drawn with (content/README.md); the rest add to it.
TILES = [
    (1, "grass", grass), (2, "dirt path", path), (3, "water", water), (4, "stone wall", stone_wall_top),
    (5, "wooden floor", planks), (6, "sand / shore", sand), (7, "tree on grass", tree_on_grass),
    (8, "flowers on grass", flowers), (9, "wooden bridge over water (walk north-south)", lambda t, r: bridge(t, r, True)),
    (10, "door in a wall", door), (11, "roof (red tiles)", lambda t, r: roof(t, r, ROOF_R)), (12, "rock / cliff", cliff),
    (13, "deep water", lambda t, r: water(t, r, True)), (14, "cobblestone", cobble), (15, "fence on grass", fence),
    (16, "cave floor", cavefloor),
    (17, "bush", bush_overlay, "overlay"), (18, "signpost", sign_overlay, "overlay"),
    (19, "chest (closed)", chest_overlay, "overlay"), (20, "barrel", barrel_overlay, "overlay"),
    (21, "table", table_overlay, "overlay"), (22, "bed", bed_overlay, "overlay"), (23, "lamp / torch", torch_overlay, "overlay"),
    (24, "small rock", rock_overlay, "overlay"), (25, "stairs / cave mouth", stairs_overlay, "overlay"),
    (26, "well", well_overlay, "overlay"), (27, "crate", crate_overlay, "overlay"), (28, "shop counter", counter_overlay, "overlay"),
    (29, "tree top (over the cell above a tree)", treetop_overlay, "overlay"), (30, "flower pot", pot_overlay, "overlay"),
    (31, "carpet", rug_overlay, "overlay"), (32, "gravestone", grave_overlay, "overlay"),
    (33, "water, bank north", lambda t, r: shore(t, r, "n")), (34, "water, bank south", lambda t, r: shore(t, r, "s")),
    (35, "water, bank west", lambda t, r: shore(t, r, "w")), (36, "water, bank east", lambda t, r: shore(t, r, "e")),
    (37, "water, banks north and west", lambda t, r: shore(t, r, "nw")),
    (38, "water, banks north and east", lambda t, r: shore(t, r, "ne")),
    (39, "water, banks south and west", lambda t, r: shore(t, r, "sw")),
    (40, "water, banks south and east", lambda t, r: shore(t, r, "se")),
    (41, "water, grass in the north-west corner", lambda t, r: shore_inner(t, r, "nw")),
    (42, "water, grass in the north-east corner", lambda t, r: shore_inner(t, r, "ne")),
    (43, "water, grass in the south-west corner", lambda t, r: shore_inner(t, r, "sw")),
    (44, "water, grass in the south-east corner", lambda t, r: shore_inner(t, r, "se")),
    (45, "wooden bridge (walk east-west)", lambda t, r: bridge(t, r, False)), (46, "grass, darker tufts", grass2),
    (47, "tall grass", tallgrass), (48, "mud", mud),
    (49, "stone wall face", stonewall), (50, "brick house wall", brickwall), (51, "wooden house wall", woodwall),
    (52, "wooden wall with window", window_wall), (53, "blue roof", lambda t, r: roof(t, r, ROOF_B)),
    (54, "thatched roof", lambda t, r: roof(t, r, ROOF_T)), (55, "cliff top edge", cliff_top), (56, "stone wall top", walltop),
    (57, "cave wall", cavewall), (58, "cave entrance", cave_entrance), (59, "stone floor", tiles_floor),
    (60, "red carpet", carpet), (61, "blue carpet", lambda t, r: carpet(t, r, BLUE)), (62, "cave floor, rough", caverough),
    (63, "pine on grass", on(grass, lambda t, r: tree_overlay(t, r, True))), (64, "rock on grass", on(grass, rock_overlay)),
    (65, "table", furniture("table")), (66, "chair", furniture("chair")), (67, "bed, head end", furniture("bedtop")),
    (68, "bed, foot end", furniture("bedbottom")), (69, "bookshelf", furniture("shelf")), (70, "shop counter", furniture("counter")),
    (71, "barrel on wooden floor", furniture("barrel")), (72, "crate on wooden floor", furniture("crate")),
    (73, "fireplace", furniture("fireplace")), (74, "clay pot", furniture("pot")), (75, "stairs down", furniture("stairsdown")),
    (76, "stairs up", furniture("stairsup")), (77, "altar", furniture("altar")), (78, "throne", furniture("throne")),
    (79, "pillar", furniture("pillar")), (80, "window in stone wall", furniture("window")),
    (81, "tree", tree_overlay, "overlay"), (82, "pine", lambda t, r: tree_overlay(t, r, True), "overlay"),
    (83, "round bush", bush_overlay, "overlay"), (84, "flowers", flowers_overlay, "overlay"),
    (85, "boulder", rock_overlay, "overlay"), (86, "sign", sign_overlay, "overlay"),
    (87, "chest, closed", chest_overlay, "overlay"), (88, "chest, open", lambda t, r: chest_overlay(t, r, True), "overlay"),
    (89, "switch, off", lambda t, r: switch_overlay(t, r, False), "overlay"),
    (90, "switch, on", lambda t, r: switch_overlay(t, r, True), "overlay"),
    (91, "torch", torch_overlay, "overlay"), (92, "barrel", barrel_overlay, "overlay"),
    (93, "crate", crate_overlay, "overlay"), (94, "well", well_overlay, "overlay"),
    (95, "object on the ground", object_overlay, "overlay"), (96, "grave", grave_overlay, "overlay"),
    (97, "castle floor", castle_floor), (98, "castle wall", castle_wall), (99, "castle wall with banner", castle_banner),
    (100, "castle gate", castle_gate), (101, "battlement", battlement), (102, "castle carpet", lambda t, r: carpet(t, r, RED)),
    (103, "castle pillar", castle_pillar), (104, "hedge", hedge), (105, "fountain", fountain), (106, "marble floor", marble),
    (107, "castle window", furniture("window")), (108, "castle stairs", furniture("stairsup")),
    (113, "open sky", sky), (114, "cloud floor", cloud), (115, "cloud, edge north", cloud_edge("n")),
    (116, "cloud, edge south", cloud_edge("s")), (117, "cloud, edge west", cloud_edge("w")),
    (118, "cloud, edge east", cloud_edge("e")), (119, "sky crystal", crystal), (120, "airship deck", deck),
    (121, "marble floor (cloud palace)", marble),
    (129, "ash ground", ash), (130, "ash with glowing cracks", ash_cracked), (131, "lava", lava),
    (132, "lava, ash bank north", lava_edge("n")), (133, "lava, ash bank south", lava_edge("s")),
    (134, "lava, ash bank west", lava_edge("w")), (135, "lava, ash bank east", lava_edge("e")),
    (136, "charred rock", charred), (137, "obsidian wall", obsidian), (138, "bones on ash", bones),
    (139, "dead tree on ash", dead_tree), (140, "smoking vent", vent),
    (145, "ruin wall", ruin_wall), (146, "cracked ruin wall", cracked_wall), (147, "rubble", rubble),
    (148, "mossy flagstones", mossy), (149, "switch on mossy flagstones", on(mossy, lambda t, r: switch_overlay(t, r, False))),
    (150, "chest on mossy flagstones", on(mossy, chest_overlay)),
    (151, "sign on grass", on(grass, sign_overlay)), (152, "well on grass", on(grass, well_overlay)),
    (153, "grave on grass", on(grass, grave_overlay)), (154, "torch on stone wall", on(stonewall, torch_overlay)),
    (155, "torch on cave wall", on(cavewall, torch_overlay)), (156, "rock on cave floor", on(cavefloor, rock_overlay)),
    (157, "chest on wooden floor", on(planks, chest_overlay)), (158, "chest on cave floor", on(cavefloor, chest_overlay)),
    (159, "sign on path", on(path, sign_overlay)), (160, "barrel on path", on(path, barrel_overlay)),
    (161, "crate on path", on(path, crate_overlay)), (162, "tree on path", on(path, tree_overlay)),
    (163, "rock on sand", on(sand, rock_overlay)), (164, "pine on dirt", on(mud, lambda t, r: tree_overlay(t, r, True))),
    # A switch event adds 1 to its ground tile when turned off and takes 1 away when turned on
    # again, so the two looks are neighbours: on first, off next.
    (165, "switch on, mossy flagstones (a switch event's first look)", on(mossy, lambda t, r: switch_overlay(t, r, True))),
    (166, "switch off, mossy flagstones (165 turned)", on(mossy, lambda t, r: switch_overlay(t, r, False))),
]

OVERLAYS = [e[0] for e in TILES if len(e) > 3]


def build_tileset():
    sheet = Image(256, 256, (0, 0, 0))
    for entry in TILES:
        n, name, paint = entry[0], entry[1], entry[2]
        t = Image(16, 16, (0, 0, 0))
        paint(t, random.Random(n * 7919))
        sheet.blit(t, ((n - 1) % 16) * 16, ((n - 1) // 16) * 16)
    return sheet


def tiles_markdown():
    lines = []
    for entry in TILES:
        kind = "overlay, pink (255, 0, 255) is see-through" if len(entry) > 3 else ""
        lines.append("| %d | %s | %s |" % (entry[0], entry[1], kind))
    return "\n".join(lines)
