"""Menu frames, title and story pictures; labels that belong to a picture are drawn into it."""
import math
import random

from font import draw_text, text_width
from pngio import Image
from tiles import MASK

INK = (24, 24, 40)
GOLD = [(120, 80, 16), (200, 152, 32), (248, 224, 104)]
NAVY = [(16, 24, 64), (32, 48, 112), (72, 96, 176)]
PARCH = [(176, 152, 112), (216, 200, 160), (236, 224, 192)]
SILVER = (192, 192, 192)


def panel(img, x0, y0, x1, y1, fill, rim=NAVY, masked_corners=True):
    """A window with a bevelled double rim; corners cut with the mask colour when masked."""
    img.rect(x0, y0, x1, y1, rim[0])
    img.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, rim[2])
    img.rect(x0 + 2, y0 + 2, x1 - 2, y1 - 2, rim[1])
    img.rect(x0 + 4, y0 + 4, x1 - 4, y1 - 4, GOLD[1])
    img.rect(x0 + 5, y0 + 5, x1 - 5, y1 - 5, rim[0])
    img.rect(x0 + 6, y0 + 6, x1 - 6, y1 - 6, fill)
    for (cx, cy, dx, dy) in ((x0, y0, 1, 1), (x1, y0, -1, 1), (x0, y1, 1, -1), (x1, y1, -1, -1)):
        for i in range(3):
            for j in range(3 - i):
                img.set(cx + dx * i, cy + dy * j, MASK if masked_corners else (0, 0, 0))
        img.set(cx + dx * 3, cy, rim[0]); img.set(cx, cy + dy * 3, rim[0]); img.set(cx + dx, cy + dy * 2, rim[0]); img.set(cx + dx * 2, cy + dy, rim[0])
        # a gold stud in each corner of the inner rim
        img.set(cx + dx * 4, cy + dy * 4, GOLD[2])


def text_box():
    """Thin rim (the speaker's name is written 5 pixels below the top edge), silver inside."""
    img = Image(640, 80, MASK)
    img.rect(0, 0, 639, 79, NAVY[0])
    img.rect(1, 1, 638, 78, GOLD[1])
    img.rect(2, 2, 637, 77, NAVY[1])
    img.rect(3, 3, 636, 76, SILVER)
    img.rect(3, 3, 636, 3, (232, 232, 232)); img.rect(3, 3, 3, 76, (232, 232, 232))
    img.rect(3, 76, 636, 76, (144, 144, 144)); img.rect(636, 3, 636, 76, (144, 144, 144))
    for cx, cy, dx, dy in ((0, 0, 1, 1), (639, 0, -1, 1), (0, 79, 1, -1), (639, 79, -1, -1)):
        img.set(cx, cy, MASK); img.set(cx + dx, cy, MASK); img.set(cx, cy + dy, MASK)
        img.set(cx + dx, cy + dy, NAVY[0])
    return img


def arrow():
    img = Image(12, 10, SILVER)
    for y in range(1, 9):
        w = 9 - y
        for x in range(6 - w // 2 - 1, 6 + w // 2 + 1):
            img.set(x, y, (176, 24, 24) if y > 1 else (96, 8, 8))
    img.set(5, 8, (96, 8, 8)); img.set(6, 8, (96, 8, 8))
    return img


def selector():
    img = Image(9, 9, MASK)
    for y in range(9):
        w = 4 - abs(4 - y)
        for x in range(0, 2 * w + 1):
            img.set(x, y, GOLD[2] if y < 4 else GOLD[1])
        img.set(2 * w + 1 if 2 * w + 1 < 9 else 8, y, INK)
    img.set(0, 0, INK); img.set(0, 8, INK)
    return img


def item_icons():
    """Type 0 head, 1 arms, 2 legs, 3 ring, 4 weapon, 5 other, 6 usable (potion), 7 other (scroll)."""
    img = Image(64, 8, (40, 40, 64))
    cells = [
        ["........", "..####..", ".#hhhh#.", ".#hhhh#.", ".#h##h#.", ".#h..h#.", "........", "........"],
        ["........", ".hhh....", ".hhhh...", ".hhhhh..", "..hhhh..", "...hhh..", "...hh...", "........"],
        ["........", "..hh....", "..hh....", "..hh....", "..hhh...", "..hhhhh.", "..hhhhh.", "........"],
        ["...gg...", "..g..g..", ".g....g.", ".g....g.", ".g....g.", "..g..g..", "...gg...", "........"],
        [".......w", "......w.", ".....w..", "....w...", ".b.w....", "..b.....", ".b.b....", "b......."],
        ["........", "...bb...", "..b..b..", ".bbbbbb.", ".bbbbbb.", ".bbbbbb.", "..bbbb..", "........"],
        ["...ww...", "...ww...", "..rrrr..", ".rrrrrr.", ".rwrrrr.", ".rrrrrr.", "..rrrr..", "........"],
        ["........", ".pppppp.", ".p.kk.p.", ".pppppp.", ".p.kkkp.", ".pppppp.", "..pppp..", "........"],
    ]
    colours = {"#": (96, 96, 112), "h": (176, 176, 200), "g": (248, 208, 64), "w": (224, 224, 240), "b": (160, 104, 48),
               "r": (224, 40, 56), "p": (232, 216, 168), "k": (64, 48, 32)}
    for i, rows in enumerate(cells):
        img.rect(i * 8, 0, i * 8 + 7, 7, (40, 40, 64))
        for y, row in enumerate(rows):
            for x, ch in enumerate(row):
                if ch in colours:
                    img.set(i * 8 + x, y, colours[ch])
    return img


def gradient(img, x0, y0, x1, y1, top, bottom, steps=16):
    h = max(1, y1 - y0)
    for y in range(y0, y1 + 1):
        k = int((y - y0) * steps / h) / steps
        c = tuple(int(top[i] + (bottom[i] - top[i]) * k) for i in range(3))
        img.rect(x0, y, x1, y, c)


def stars(img, rng, n, y1):
    for _ in range(n):
        x, y = rng.randrange(img.w), rng.randrange(y1)
        img.set(x, y, rng.choice(((255, 255, 255), (200, 200, 255), (255, 240, 200))))


def mountains(img, rng, base, height, colour, rough):
    y = base - height // 2
    for x in range(img.w):
        y += rng.choice(range(-rough, rough + 1))
        y = max(base - height, min(base - 4, y))
        img.rect(x, y, x, img.h - 1, colour)


def castle_silhouette(img, cx, base, colour, window=(248, 200, 72)):
    img.rect(cx - 60, base - 70, cx + 60, base, colour)
    for tx in (cx - 70, cx + 50):
        img.rect(tx, base - 110, tx + 20, base, colour)
        for k in range(4):
            img.rect(tx + k * 6, base - 116, tx + k * 6 + 2, base - 110, colour)
    img.rect(cx - 14, base - 140, cx + 14, base, colour)
    for i in range(20):
        img.rect(cx - i, base - 160 + i, cx + i, base - 160 + i, colour)
    for k in range(10):
        img.rect(cx - 60 + k * 12, base - 76, cx - 56 + k * 12, base - 70, colour)
    for wx, wy in ((cx - 4, base - 120), (cx - 40, base - 50), (cx + 30, base - 50), (cx - 64, base - 90), (cx + 56, base - 90)):
        img.rect(wx, wy, wx + 4, wy + 7, window)
    img.rect(cx - 10, base - 24, cx + 10, base, (8, 8, 16))


def title_text(img, text, y, scale, outline=(24, 8, 8)):
    x = (img.w - text_width(text, scale)) // 2
    draw_text(img, x + 2, y + 3, text, (16, 8, 24), scale)
    draw_text(img, x, y, text, GOLD[2], scale, shade=GOLD[1], outline=outline)


def title():
    rng = random.Random(11)
    img = Image(640, 480)
    gradient(img, 0, 0, 639, 300, (8, 8, 40), (120, 56, 96))
    stars(img, rng, 160, 200)
    for y in range(60, 100):
        for x in range(480, 540):
            if (x - 510) ** 2 + (y - 80) ** 2 < 400:
                img.set(x, y, (248, 240, 208))
    mountains(img, rng, 330, 120, (48, 32, 72), 3)
    castle_silhouette(img, 320, 340, (24, 16, 40))
    mountains(img, rng, 400, 70, (24, 40, 40), 2)
    gradient(img, 0, 400, 639, 479, (24, 48, 32), (8, 20, 16))
    for _ in range(40):
        x = rng.randrange(640); y = rng.randrange(410, 475)
        img.rect(x, y, x, y + 3, (48, 88, 48))
    title_text(img, "DUSKWING", 70, 8)
    sub = "A TALE OF THE VORRAND WAR"
    draw_text(img, (640 - text_width(sub, 2)) // 2, 150, sub, (232, 224, 255), 2, outline=(16, 8, 32))
    return img


def banner():
    img = Image(400, 64, (0, 0, 0))
    panel(img, 0, 0, 399, 63, (24, 20, 56), masked_corners=False)
    gradient(img, 6, 6, 393, 57, (40, 32, 88), (16, 12, 40), 8)
    title_text(img, "DUSKWING", 12, 5)
    return img


def menu_item(label, left, width):
    """Opaque menu entry; the label starts at screen x = 104, right of where the cursor sits."""
    img = Image(width, 40, (0, 0, 0))
    x = 104 - left
    draw_text(img, x, 17, label, GOLD[2], 2, shade=GOLD[1], outline=(64, 32, 8))
    img.rect(x, 36, x + text_width(label, 2), 36, (48, 40, 96))
    return img


def status_screen():
    img = Image(640, 480, MASK)
    panel(img, 0, 0, 639, 479, PARCH[2])
    # name plate and stat boxes on parchment; the middle band is darker so that the white
    # item details, the yellow gold and black lines can all be read on it
    gradient(img, 6, 184, 633, 258, (128, 128, 160), (112, 112, 144), 4)
    img.rect(6, 183, 633, 183, NAVY[0]); img.rect(6, 259, 633, 259, NAVY[0])
    for y0, y1 in ((66, 138), (150, 180)):
        img.rect(60, y0, 220, y1, PARCH[1]); img.rect(60, y0, 220, y0, PARCH[0]); img.rect(60, y1, 220, y1, PARCH[0])
    img.rect(10, 4, 300, 18, PARCH[1]); img.rect(10, 18, 300, 18, PARCH[0])
    img.rect(240, 140, 600, 336, PARCH[1])
    img.rect(240, 140, 600, 140, PARCH[0]); img.rect(240, 336, 600, 336, PARCH[0])
    draw_text(img, 420, 30, "STATUS", NAVY[1], 3, shade=NAVY[0])
    img.rect(420, 56, 420 + text_width("STATUS", 3), 57, GOLD[1])
    return img


RED_C = (160, 32, 40)


def menu_choice():
    img = Image(280, 56, MASK)
    panel(img, 0, 0, 279, 55, NAVY[1])
    draw_text(img, 20, 18, "MENU", GOLD[2], 2, shade=GOLD[1], outline=NAVY[0])
    for i, label in enumerate(("INVENTORY", "SWITCH MEMBER", "CLOSE")):
        draw_text(img, 135, 12 + 14 * i, label, (255, 255, 255), 1, outline=NAVY[0])
    return img


def inv_choice():
    img = Image(260, 56, MASK)
    panel(img, 0, 0, 259, 55, NAVY[1])
    draw_text(img, 16, 14, "ITEM", GOLD[2], 2, shade=GOLD[1], outline=NAVY[0])
    return img


def choice():
    img = Image(205, 76, MASK)
    panel(img, 0, 0, 204, 75, PARCH[2])
    return img


WOOD_RIM = [(56, 32, 16), (120, 72, 32), (168, 112, 56)]


def shop():
    """The list panel: header line, five item rows, Exit; a mid-tone footer for the shopper's
    name in black and the gold in yellow."""
    img = Image(SHOP_W, 150)
    panel(img, 0, 0, SHOP_W - 1, 149, PARCH[2], rim=WOOD_RIM, masked_corners=False)
    img.rect(10, 40, 249, 40, PARCH[0])
    img.rect(6, 119, 253, 143, (156, 132, 100))
    img.rect(6, 119, 253, 119, WOOD_RIM[1])
    draw_text(img, 12, 10, "SHOP", WOOD_RIM[1], 1)
    return img


def coins(img, x0, y0):
    for k, (dx, n) in enumerate(((0, 6), (14, 4), (28, 7))):
        for i in range(n):
            y = y0 + 40 - i * 4
            img.rect(x0 + dx, y, x0 + dx + 11, y + 3, GOLD[0])
            img.rect(x0 + dx + 1, y, x0 + dx + 10, y + 1, GOLD[2] if i == n - 1 else GOLD[1])


SHOP_W = 260  # width of shop(): the question box is drawn SHOP_W left of the screen centre


def shop_select():
    """Drawn at (320 - SHOP_W, 240); the game's cursor sits at (330, 303) and (330, 315), so the
    answers go just right of it."""
    img = Image(380, 100)
    panel(img, 0, 0, 379, 99, PARCH[2], rim=WOOD_RIM, masked_corners=False)
    img.rect(10, 24, 369, 24, PARCH[0])
    coins(img, 24, 40)
    x = 330 + 9 + 5 - (320 - SHOP_W)
    draw_text(img, x, 64, "YES", INK, 1)
    draw_text(img, x, 76, "NO", INK, 1)
    return img


def death_scene():
    rng = random.Random(5)
    img = Image(640, 480)
    gradient(img, 0, 0, 639, 479, (48, 0, 8), (8, 0, 0))
    for _ in range(200):
        x, y = rng.randrange(640), rng.randrange(480)
        img.set(x, y, (96, 16, 24))
    # a grave with a sword before it
    img.rect(270, 230, 370, 380, (72, 72, 88)); img.rect(276, 236, 364, 380, (120, 120, 136))
    for i in range(30):
        img.rect(270 + i // 2, 230 - i, 370 - i // 2, 230 - i, (120, 120, 136) if i < 28 else (72, 72, 88))
    img.rect(314, 250, 326, 330, (72, 72, 88)); img.rect(290, 270, 350, 282, (72, 72, 88))
    img.rect(200, 380, 440, 400, (40, 24, 24))
    img.rect(408, 300, 412, 392, (200, 200, 216)); img.rect(398, 300, 422, 304, (160, 120, 32)); img.rect(406, 288, 414, 300, (96, 64, 24))
    title_text(img, "YOU HAVE FALLEN", 90, 4)
    sub = "PRESS A KEY"
    draw_text(img, (640 - text_width(sub, 2)) // 2, 430, sub, (200, 160, 160), 2)
    return img


def the_end():
    rng = random.Random(9)
    img = Image(640, 480)
    gradient(img, 0, 0, 639, 300, (40, 16, 48), (232, 96, 40))
    for y in range(200, 300):
        for x in range(250, 390):
            if (x - 320) ** 2 + (y - 300) ** 2 < 70 ** 2:
                img.set(x, y, (255, 200, 96) if (y // 6) % 2 or y < 260 else (232, 120, 48))
    mountains(img, rng, 320, 60, (40, 24, 32), 2)
    gradient(img, 0, 320, 639, 479, (56, 44, 44), (24, 20, 20))
    for _ in range(50):
        x, y = rng.randrange(640), rng.randrange(330, 480)
        img.rect(x, y, x + 2, y, (88, 72, 64))
    # two travellers walking into the dusk
    for cx in (300, 330):
        img.rect(cx, 350, cx + 8, 372, (16, 8, 16)); img.rect(cx + 1, 340, cx + 7, 349, (16, 8, 16))
        img.rect(cx + 1, 372, cx + 3, 384, (16, 8, 16)); img.rect(cx + 5, 372, cx + 7, 384, (16, 8, 16))
    img.rect(340, 336, 341, 384, (16, 8, 16))
    title_text(img, "THE END", 80, 7)
    sub = "THANK YOU FOR PLAYING"
    draw_text(img, (640 - text_width(sub, 2)) // 2, 430, sub, (248, 224, 200), 2, outline=(40, 16, 24))
    return img
