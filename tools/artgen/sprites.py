"""People and monsters: 16 x 16 figures drawn from a few body parts and a palette per look."""
from pngio import Image

MASK = (255, 0, 255)
OUTLINE = (24, 16, 24)
SKIN = (240, 184, 136)
SKIN_D = (200, 136, 96)


def _darker(c, f=0.7):
    return tuple(int(v * f) for v in c)


def _lighter(c, f=1.3):
    return tuple(min(255, int(v * f + 16)) for v in c)


def outline(img):
    """Ring every figure pixel's empty neighbours with the dark outline colour."""
    add = []
    for y in range(img.h):
        for x in range(img.w):
            if img.get(x, y) == MASK:
                for ox, oy in ((-1, 0), (1, 0), (0, -1), (0, 1)):
                    c = img.get(x + ox, y + oy)
                    if c is not None and c != MASK and c != OUTLINE:
                        add.append((x, y))
                        break
    for x, y in add:
        img.set(x, y, OUTLINE)


def person(look, facing, frame):
    """facing: 'down', 'up', 'right' (left is the mirror). look: dict of colours and extras."""
    t = Image(16, 16, MASK)
    skin = look.get("skin", SKIN)
    hair = look.get("hair", (96, 56, 24))
    body = look.get("body", (64, 96, 192))
    legs = look.get("legs", (72, 56, 40))
    boots = look.get("boots", (56, 40, 24))
    bob = 1 if frame else 0
    # legs
    if facing == "right":
        if frame:
            t.rect(6, 12, 7, 14, legs); t.rect(9, 12, 10, 13, legs); t.rect(5, 15, 7, 15, boots); t.rect(10, 14, 11, 14, boots)
        else:
            t.rect(7, 12, 9, 14, legs); t.rect(7, 15, 10, 15, boots)
    else:
        l0, l1 = (14, 13) if frame else (14, 14)
        t.rect(5, 12, 7, l0, legs); t.rect(8, 12, 10, l1, legs)
        t.rect(5, l0 + 1, 7, l0 + 1, boots); t.rect(8, l1 + 1, 10, l1 + 1, boots)
    if look.get("robe"):
        t.rect(4, 9, 11, 14 - bob, body); t.rect(4, 14 - bob, 11, 14 - bob, _darker(body))
    # torso and arms
    t.rect(4, 7, 11, 11, body)
    t.rect(4, 7, 11, 7, _lighter(body))
    t.rect(4, 11, 11, 11, look.get("belt", _darker(body, 0.5)))
    if facing == "right":
        t.rect(7, 8, 9, 10, _darker(body)); t.set(8 + bob, 11, skin)
    else:
        t.rect(3, 8, 3, 10, _darker(body)); t.rect(12, 8, 12, 10, _darker(body))
        t.set(3, 11 - bob, skin); t.set(12, 10 + bob, skin)
    # head
    t.rect(5, 2, 10, 6, skin)
    t.rect(5, 6, 10, 6, SKIN_D if skin == SKIN else _darker(skin))
    style = look.get("hat")
    if facing == "up":
        t.rect(5, 1, 10, 6, hair)
    else:
        t.rect(5, 1, 10, 2, hair)
        if facing == "down":
            t.set(5, 3, hair); t.set(10, 3, hair)
            t.set(6, 4, look.get("eyes", OUTLINE)); t.set(9, 4, look.get("eyes", OUTLINE))
            if look.get("beard"):
                t.rect(6, 5, 9, 7, look["beard"])
        else:
            t.rect(5, 1, 7, 5, hair); t.set(9, 4, look.get("eyes", OUTLINE))
            if look.get("beard"):
                t.rect(8, 5, 10, 7, look["beard"])
    if look.get("long_hair"):
        if facing == "up":
            t.rect(5, 1, 10, 8, hair)
        elif facing == "down":
            t.rect(4, 2, 4, 8, hair); t.rect(11, 2, 11, 8, hair)
        else:
            t.rect(4, 2, 6, 8, hair)
    if style == "helmet":
        c = look.get("hat_colour", (160, 160, 176))
        t.rect(4, 0, 11, 2, c); t.rect(4, 3, 4, 5, c); t.rect(11, 3, 11, 5, c); t.rect(5, 0, 10, 0, _lighter(c))
        if look.get("plume"):
            t.rect(7, 0, 8, 0, look["plume"]); t.set(7, -1, look["plume"])
    elif style == "hood":
        c = look.get("hat_colour", body)
        t.rect(4, 0, 11, 2, c); t.rect(4, 3, 4, 7, c); t.rect(11, 3, 11, 7, c)
        if facing == "up":
            t.rect(4, 0, 11, 7, c)
    elif style == "pointy":
        c = look.get("hat_colour", body)
        t.rect(3, 2, 12, 2, c); t.rect(5, 0, 10, 1, c); t.rect(7, -1, 8, 0, c)
    elif style == "crown":
        t.rect(5, 0, 10, 1, (248, 208, 48)); t.set(5, -1, (248, 208, 48)); t.set(7, -1, (248, 208, 48)); t.set(10, -1, (248, 208, 48))
        t.set(7, 0, (224, 40, 40))
    elif style == "horns":
        t.set(4, 0, (232, 224, 200)); t.set(11, 0, (232, 224, 200)); t.set(4, 1, (232, 224, 200)); t.set(11, 1, (232, 224, 200))
    if look.get("ears"):
        if facing != "up":
            t.set(4, 3, skin); t.set(3, 2, skin); t.set(11, 3, skin); t.set(12, 2, skin)
    if look.get("tusks") and facing == "down":
        t.set(6, 6, (248, 248, 232)); t.set(9, 6, (248, 248, 232))
    # cape behind when seen from the back
    if look.get("cape") and facing == "up":
        t.rect(4, 7, 11, 13, look["cape"])
    elif look.get("cape") and facing == "down":
        t.set(4, 7, look["cape"]); t.set(11, 7, look["cape"])
    # weapon
    w = look.get("weapon")
    if w and facing != "up":
        wc = look.get("weapon_colour", (200, 200, 216))
        x = 13 if facing == "down" else 11
        if w == "sword":
            t.rect(x, 4 + bob, x, 10 + bob, wc); t.rect(x - 1, 9 + bob, x + 1, 9 + bob, (136, 96, 16))
        elif w == "spear":
            t.rect(x, 0, x, 14, (136, 96, 56)); t.rect(x, 0, x, 2, wc)
        elif w == "staff":
            t.rect(x, 2, x, 14, (136, 96, 56)); t.rect(x - 1, 1, x + 1, 2, look.get("orb", (120, 200, 248)))
        elif w == "bow":
            t.rect(x, 4, x, 12, (136, 96, 56)); t.set(x - 1, 4, (136, 96, 56)); t.set(x - 1, 12, (136, 96, 56))
        elif w == "axe":
            t.rect(x, 3, x, 12, (136, 96, 56)); t.rect(x - 1, 3, x + 1, 5, wc)
        elif w == "club":
            t.rect(x, 5, x, 12, (120, 80, 40)); t.rect(x - 1, 4, x + 1, 6, (96, 64, 32))
    if look.get("flames"):
        for x, y in ((3, 6), (12, 5), (2, 9), (13, 9), (4, 13), (11, 12)):
            t.set(x, y - bob, (255, 160, 32)); t.set(x, y - 1 - bob, (255, 232, 96))
    outline(t)
    return t


def slime(frame, colour=(64, 128, 232)):
    t = Image(16, 16, MASK)
    top = 6 if frame else 4
    for y in range(top, 16):
        for x in range(16):
            d = ((x - 7.5) ** 2) / (49 if frame else 36) + ((y - 15) ** 2) / ((15 - top) ** 2)
            if d < 1:
                t.set(x, y, colour if d > 0.35 else _lighter(colour))
    t.set(5, top + 3, (255, 255, 255)); t.set(6, top + 4, OUTLINE); t.set(10, top + 4, OUTLINE)
    t.set(5, 13, _darker(colour)); t.set(10, 13, _darker(colour))
    outline(t)
    return t


def harpy(frame):
    t = Image(16, 16, MASK)
    wing = (144, 88, 168)
    if frame:
        t.rect(0, 3, 4, 4, wing); t.rect(11, 3, 15, 4, wing); t.rect(1, 5, 4, 6, _darker(wing)); t.rect(11, 5, 14, 6, _darker(wing))
    else:
        t.rect(0, 7, 4, 8, wing); t.rect(11, 7, 15, 8, wing); t.rect(1, 9, 4, 10, _darker(wing)); t.rect(11, 9, 14, 10, _darker(wing))
    t.rect(5, 2, 10, 6, (232, 184, 160)); t.rect(5, 1, 10, 2, (200, 48, 64)); t.rect(4, 2, 4, 8, (200, 48, 64)); t.rect(11, 2, 11, 8, (200, 48, 64))
    t.set(6, 4, (232, 32, 32)); t.set(9, 4, (232, 32, 32))
    t.rect(5, 7, 10, 11, wing); t.rect(6, 12, 6, 14, (232, 200, 64)); t.rect(9, 12, 9, 14, (232, 200, 64))
    t.rect(5, 15, 7, 15, (232, 200, 64)); t.rect(8, 15, 10, 15, (232, 200, 64))
    outline(t)
    return t


def skeleton_look(weapon):
    bone = (232, 224, 200)
    return dict(skin=bone, hair=bone, body=(200, 192, 168), legs=(200, 192, 168), boots=bone, eyes=(200, 32, 32),
                belt=(120, 112, 96), weapon=weapon)


NPC_LOOKS = [
    # rows 0-7 as the maps were drawn (content/README.md); row 3 shows only in the opening scene
    ("villager man", dict(hair=(96, 56, 24), body=(72, 136, 72), legs=(104, 80, 48))),
    ("village elder", dict(hair=(208, 208, 208), beard=(224, 224, 224), body=(96, 72, 48), legs=(72, 56, 40), robe=True, belt=(160, 120, 48))),
    ("town guard", dict(hat="helmet", body=(160, 160, 176), legs=(64, 64, 96), weapon="spear", belt=(96, 64, 32))),
    ("house elder (opening scene only)", dict(hair=(176, 176, 176), beard=(200, 200, 200), body=(136, 40, 40), robe=True)),
    ("merchant", dict(hair=(64, 40, 24), body=(216, 168, 48), legs=(120, 72, 32), beard=(64, 40, 24), hat="hood", hat_colour=(168, 40, 48))),
    ("child", dict(hair=(160, 96, 40), body=(96, 160, 224), legs=(72, 72, 120))),
    ("Tobin, mercenary", dict(hair=(48, 32, 24), body=(160, 96, 40), legs=(80, 64, 48), weapon="sword")),
    ("wise old man", dict(hair=(224, 224, 224), beard=(240, 240, 240), body=(112, 96, 160), robe=True, weapon="staff", orb=(200, 232, 255))),
    ("villager woman", dict(hair=(200, 136, 56), body=(200, 96, 120), legs=(200, 96, 120), long_hair=True, robe=True)),
    ("priestess", dict(hair=(248, 232, 160), body=(240, 240, 248), legs=(240, 240, 248), long_hair=True, robe=True, belt=(216, 176, 48))),
    ("miner", dict(hat="helmet", hat_colour=(216, 176, 48), body=(120, 96, 72), legs=(72, 64, 56), weapon="axe")),
    ("airship captain", dict(hair=(40, 40, 48), beard=(64, 56, 48), body=(40, 64, 128), legs=(240, 240, 240), hat="pointy", hat_colour=(32, 32, 48))),
    ("sage", dict(hair=(200, 200, 232), beard=(224, 224, 248), body=(48, 112, 168), robe=True, hat="pointy", hat_colour=(48, 112, 168), weapon="staff")),
    ("goblin", dict(skin=(120, 168, 64), hair=(72, 104, 40), body=(112, 88, 48), legs=(88, 64, 40), ears=True, weapon="club", eyes=(232, 32, 32))),
    ("hybrid goblin", dict(skin=(136, 144, 72), hair=(88, 80, 48), body=(120, 64, 96), legs=(72, 48, 64), ears=True, tusks=True, eyes=(248, 200, 32))),
    ("goblin warrior", dict(skin=(104, 152, 56), hat="helmet", hat_colour=(112, 96, 80), body=(128, 112, 96), legs=(88, 64, 40), ears=True, weapon="sword")),
    ("goblin shaman", dict(skin=(112, 160, 72), hat="hood", hat_colour=(120, 48, 136), body=(120, 48, 136), robe=True, ears=True, weapon="staff", orb=(248, 80, 200))),
    ("flaming Morwen soldier", dict(hat="helmet", hat_colour=(96, 40, 24), body=(168, 56, 24), legs=(72, 32, 24), weapon="sword", flames=True)),
    ("flaming Morwen general", dict(hat="helmet", hat_colour=(200, 160, 32), plume=(255, 96, 32), body=(184, 40, 16), legs=(72, 24, 16), weapon="axe", flames=True, cape=(120, 16, 16))),
    ("skeletal warrior", skeleton_look("sword")),
    ("skeletal archer", skeleton_look("bow")),
    ("blue slime", None),
    ("Vorrandite footsoldier", dict(hat="helmet", hat_colour=(72, 72, 88), body=(88, 32, 104), legs=(48, 48, 56), weapon="spear")),
    ("Vorrandite guard", dict(hat="helmet", hat_colour=(176, 176, 192), body=(104, 32, 120), legs=(56, 56, 64), weapon="sword", belt=(200, 160, 48))),
    ("Vorrandite archer", dict(hat="hood", hat_colour=(88, 32, 104), body=(112, 88, 64), legs=(56, 48, 40), weapon="bow")),
    ("thug", dict(hair=(32, 24, 24), body=(104, 96, 88), legs=(64, 56, 48), weapon="club", beard=(48, 40, 32))),
    ("thief", dict(hat="hood", hat_colour=(48, 56, 48), body=(56, 72, 56), legs=(40, 40, 40), weapon="sword", eyes=(248, 232, 64))),
    ("night mage", dict(hat="pointy", hat_colour=(32, 24, 56), body=(40, 32, 72), robe=True, weapon="staff", orb=(255, 96, 32), flames=True)),
    ("Vorrandite berserker", dict(hat="horns", hair=(160, 64, 32), body=(136, 96, 72), skin=(216, 160, 120), legs=(88, 32, 104), weapon="axe", beard=(160, 64, 32))),
    ("apprentice mage", dict(hat="pointy", hat_colour=(104, 40, 136), body=(104, 40, 136), robe=True, weapon="staff")),
    ("harpy", None),
    ("orc", dict(skin=(88, 136, 80), hair=(40, 40, 32), body=(120, 88, 56), legs=(80, 56, 40), tusks=True, ears=True, weapon="axe")),
    ("orc chief", dict(skin=(80, 128, 72), hat="horns", hair=(40, 40, 32), body=(160, 48, 40), legs=(80, 56, 40), tusks=True, ears=True, cape=(96, 64, 32), weapon="club")),
    ("Vorrandite lancer", dict(hat="helmet", hat_colour=(120, 120, 136), plume=(200, 40, 200), body=(88, 32, 104), legs=(48, 48, 56), weapon="spear", weapon_colour=(232, 232, 248))),
    ("Emperor Vorrand", dict(hat="crown", hair=(24, 24, 32), beard=(24, 24, 32), body=(112, 24, 136), legs=(40, 16, 48), cape=(176, 24, 40), robe=True, belt=(232, 192, 48))),
    ("Commander Garrick", dict(hat="helmet", hat_colour=(48, 48, 56), plume=(216, 32, 32), body=(64, 64, 80), legs=(40, 40, 48), cape=(120, 24, 136), weapon="sword")),
    ("elite archer", dict(hat="helmet", hat_colour=(200, 168, 64), body=(112, 32, 128), legs=(48, 40, 56), weapon="bow", cape=(88, 24, 104))),
    ("fanatic cleric", dict(hat="hood", hat_colour=(32, 16, 40), body=(32, 16, 40), robe=True, weapon="staff", orb=(200, 32, 200), eyes=(248, 32, 32))),
    ("Miresa", dict(hair=(168, 56, 40), body=(56, 128, 104), legs=(64, 56, 48), long_hair=True, weapon="staff", orb=(248, 200, 64))),
    ("leader of the men", dict(hair=(80, 72, 64), beard=(96, 88, 80), body=(72, 80, 96), legs=(56, 48, 40), cape=(48, 56, 72))),
    ("town speaker", dict(hair=(216, 216, 200), body=(120, 40, 64), legs=(120, 40, 64), robe=True, belt=(232, 192, 48), hat="pointy", hat_colour=(120, 40, 64))),
]

HERO = dict(hair=(152, 88, 32), body=(48, 88, 176), legs=(88, 64, 40), weapon="sword", cape=(168, 40, 40))
COMPANION = dict(hair=(168, 56, 40), body=(56, 128, 104), legs=(64, 56, 48), long_hair=True, weapon="staff", orb=(248, 200, 64))


def npc_sheet():
    sheet = Image(32, 16 * len(NPC_LOOKS), MASK)
    for row, (name, look) in enumerate(NPC_LOOKS):
        for f in (0, 1):
            if name == "blue slime":
                cell = slime(f)
            elif name == "harpy":
                cell = harpy(f)
            else:
                cell = person(look, "down", f)
            sheet.blit(cell, f * 16, row * 16)
    return sheet


def character_sheet(look):
    """Rows by direction code: 0 standing (faces down), 1 up, 2 down, 3 right, 4 left."""
    sheet = Image(32, 80, MASK)
    for f in (0, 1):
        sheet.blit(person(look, "down", f), f * 16, 0)
        sheet.blit(person(look, "up", f), f * 16, 16)
        sheet.blit(person(look, "down", f), f * 16, 32)
        right = person(look, "right", f)
        sheet.blit(right, f * 16, 48)
        sheet.blit(right.mirrored(), f * 16, 64)
    return sheet
