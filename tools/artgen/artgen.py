#!/usr/bin/env python3
"""Draws the first versions of every picture into content/art/ as PNG (run once; then edit the PNGs)."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import sprites  # noqa: E402
import tiles  # noqa: E402
import ui  # noqa: E402
from pngio import write_png  # noqa: E402

PICTURES = {
    "tiles.png": tiles.build_tileset,
    "npcs.png": sprites.npc_sheet,
    "character.png": lambda: sprites.character_sheet(sprites.HERO),
    "character2.png": lambda: sprites.character_sheet(sprites.COMPANION),
    "text.png": ui.text_box,
    "arrow.png": ui.arrow,
    "selector.png": ui.selector,
    "title.png": ui.title,
    "banner.png": ui.banner,
    "newgame.png": lambda: ui.menu_item("NEW GAME", 100, 200),
    "loadgame.png": lambda: ui.menu_item("LOAD GAME", 75, 225),
    "options.png": lambda: ui.menu_item("OPTIONS", 85, 215),
    "exit.png": lambda: ui.menu_item("EXIT", 70, 230),
    "status.png": ui.status_screen,
    "menuchoice.png": ui.menu_choice,
    "invchoice.png": ui.inv_choice,
    "choice.png": ui.choice,
    "items.png": ui.item_icons,
    "shop.png": ui.shop,
    "shopselect.png": ui.shop_select,
    "deathscene.png": ui.death_scene,
    "theend.png": ui.the_end,
}


TILES_INTRO = """# Tile and sprite numbering

Maps name the tileset "./data/tiles.bmp" and the NPC spriteset "./data/npcs.bmp".
(This file is written by tools/artgen/artgen.py together with the first pictures.)

## tiles.bmp

256 x 256 pixels: 16 x 16 cells of 16 x 16 pixels. Tile n (1-based) is the cell at
column (n - 1) % 16, row (n - 1) / 16; tile 0 draws nothing. The sheet is square, so the
drawing code's row formula gives the same cell. Unlisted numbers are black and unused.

Tiles 1-32 keep the numbers the first maps were drawn with (content/README.md): 1-16
ground, 17-32 overlays. Tiles 17-32 and 81-96 are overlays for layer 1 over any ground:
their pink (255, 0, 255) pixels are see-through. Every other tile is an opaque ground
picture for layer 0 (walls, water, roofs, cliffs, furniture and trees-on-ground are meant
to be blocked with flag 0x1). Tile 95 is the object lying on the ground (an opened chest
puts it there).

"""

NPCS_INTRO = """## npcs.bmp

32 pixels wide, one 16-pixel row per look, two walking frames side by side
(frame 0 at x 0, frame 1 at x 16). Pink is see-through. Row 3 is the house elder of the
opening scene (only that scene keeps row-3 NPCs).

"""


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "content", "art")
    only = set(sys.argv[2:])
    os.makedirs(out, exist_ok=True)
    for name, make in PICTURES.items():
        if only and name not in only:
            continue
        img = make()
        write_png(os.path.join(out, name), img)
        print("%-16s %4d x %3d" % (name, img.w, img.h))
    if not only or "TILES.md" in only:
        with open(os.path.join(out, "TILES.md"), "w") as f:
            f.write(TILES_INTRO)
            f.write("| tile | picture | drawing |\n|---|---|---|\n" + tiles.tiles_markdown() + "\n\n")
            f.write(NPCS_INTRO + "| row | look |\n|---|---|\n")
            for i, (name, _) in enumerate(sprites.NPC_LOOKS):
                f.write("| %d | %s |\n" % (i, name))


if __name__ == "__main__":
    main()
