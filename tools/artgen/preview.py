#!/usr/bin/env python3
"""Renders a Tiled map (content/maps/*.tmx) with the tileset and NPC sheet to a PNG preview.

Usage: preview.py MAP.tmx TILES.png NPCS.png OUT.png [x y w h]   (the window in pixels)
Lets the artist see the tiles in place without building the game.
"""
import os
import re
import sys
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pngio import Image, read_png, write_png  # noqa: E402

MASK = (255, 0, 255)


def main():
    if len(sys.argv) not in (5, 9):
        sys.exit(__doc__)
    tmx, tiles_png, npcs_png, out = sys.argv[1:5]
    root = ET.parse(tmx).getroot()
    w, h = int(root.get("width")), int(root.get("height"))
    tiles, npcs = read_png(tiles_png), read_png(npcs_png)
    img = Image(w * 16, h * 16, (0, 0, 0))
    layers = {l.get("name"): [int(v) for v in re.findall(r"\d+", l.find("data").text)] for l in root.findall("layer")}
    for name, masked in (("layer 0", False), ("layer 1", True)):
        cells = layers.get(name, [])
        for i, n in enumerate(cells):
            if n <= 0 or n > 256:
                continue
            cell = tiles.crop(((n - 1) % 16) * 16, ((n - 1) // 16) * 16, 16, 16)
            img.blit(cell, (i % w) * 16, (i // w) * 16, MASK if masked else None)
    for group in root.findall("objectgroup"):
        if group.get("name") != "npcs":
            continue
        for obj in group.findall("object"):
            props = {p.get("name"): p.get("value") for p in obj.iter("property")}
            row = int(props.get("sprite", "0"))
            img.blit(npcs.crop(0, row * 16, 16, 16), int(float(obj.get("x"))), int(float(obj.get("y"))), MASK)
    if len(sys.argv) == 9:
        x, y, cw, ch = (int(v) for v in sys.argv[5:9])
        img = img.crop(x, y, cw, ch)
    write_png(out, img)


if __name__ == "__main__":
    main()
