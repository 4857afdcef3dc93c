#!/bin/sh
# Contact sheets of the pictures for docs/: the tileset, the people, and a mock title menu.
# Usage: tools/artgen/previews.sh [OUT_DIR]   (needs ImageMagick's convert)
set -eu
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
ART=$ROOT/content/art
OUT=${1:-$ROOT/docs}
mkdir -p "$OUT"
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT

# Tileset at twice the size on a dark background, pink shown as it is in the file.
convert "$ART/tiles.png" -crop 256x176+0+0 +repage -filter point -resize 200% "$OUT/art-tiles.png"

# People: hero and companion (rows = standing, up, down, right, left), then every NPC look
# in columns of ten, all on grass-green so the see-through pink reads as background.
convert "$ART/character.png" "$ART/character2.png" +append "$T/party.png"
i=0
while [ $i -lt 5 ]; do
    convert "$ART/npcs.png" -crop 32x160+0+$((i * 160)) +repage "$T/npc$i.png"
    i=$((i + 1))
done
convert "$T/party.png" -background '#ff00ff' -gravity north -extent 72x160 "$T/party_x.png"
for f in 0 1 2 3 4; do
    convert "$T/npc$f.png" -background '#ff00ff' -gravity northwest -extent 40x160 "$T/npc${f}_x.png"
done
convert "$T/party_x.png" "$T/npc0_x.png" "$T/npc1_x.png" "$T/npc2_x.png" "$T/npc3_x.png" "$T/npc4_x.png" +append \
    -fill '#40903a' -opaque '#ff00ff' -filter point -resize 300% "$OUT/art-people.png"

# The title menu as the game composes it: banner centred at the top, entries and cursor.
convert -size 640x480 xc:black \
    "$ART/banner.png" -geometry +120+0 -composite \
    "$ART/newgame.png" -geometry +100+75 -composite \
    "$ART/loadgame.png" -geometry +75+125 -composite \
    "$ART/options.png" -geometry +85+175 -composite \
    "$ART/exit.png" -geometry +70+225 -composite \
    \( "$ART/selector.png" -transparent '#ff00ff' \) -geometry +87+95 -composite \
    "$OUT/art-menu.png"


# The home map as the game draws it, when a build's map tool and data are given:
#   RPG_BUILD=build tools/artgen/previews.sh
if [ -n "${RPG_BUILD:-}" ] && [ -x "$RPG_BUILD/tools/rpgtool" ] && [ -f "$RPG_BUILD/data/duskwing.map" ]; then
    (cd "$RPG_BUILD" && ./tools/rpgtool map render data/duskwing.map "$T/duskwing.bmp") &&
        convert "$T/duskwing.bmp" -crop 640x400+160+0 +repage "$OUT/art-duskwing.png" &&
        echo "home map rendered"
fi
echo "previews written to $OUT"
