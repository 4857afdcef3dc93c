#!/bin/bash
# A battle reached through a portal and fought with real keys: the red movement range and the
# action menu in screenshots, attacks until the goblin falls, the victory box, and back on the field.
# The test builds its own two maps (a home map whose portal leads into an arena) in its data folder.
source "$(dirname "$0")/lib.sh"
e2e_setup

RPG_TOOL=${RPG_TOOL:-$(dirname "$RPG_BIN")/tools/rpgtool}
for f in tiles.bmp npcs.bmp character.bmp text.bmp choice.bmp selector.bmp npcs.txt; do
    if [ -z "${RPG_DATA:-}" ] || ! [ -f "$RPG_DATA/$f" ] || ! [ -x "$RPG_TOOL" ]; then
        echo "skipped: the build's data/ folder (with $f) or the map tool is missing"
        exit 0
    fi
done

# The game's data with our own home map: everything of the build's data/ but its maps.
DATA="$E2E_DIR/data"
mkdir -p "$DATA"
for f in "$RPG_DATA"/*; do
    case "$f" in *.map | *.MAP) ;; *) ln -s "$f" "$DATA/" ;; esac
done

# csv W H FILL BORDER [C,R=V ...]: a CSV layer of W x H cells of FILL inside a ring of BORDER,
# with the cells listed set to V.
csv() {
    local w=$1 h=$2 fill=$3 border=$4
    shift 4
    awk -v w="$w" -v h="$h" -v fill="$fill" -v border="$border" -v sets="$*" 'BEGIN {
        n = split(sets, s, " ")
        for (i = 1; i <= n; i++) { split(s[i], kv, "="); cell[kv[1]] = kv[2] }
        for (r = 0; r < h; r++) {
            line = ""
            for (c = 0; c < w; c++) {
                v = (c == 0 || r == 0 || c == w - 1 || r == h - 1) ? border : fill
                if ((c "," r) in cell) v = cell[c "," r]
                line = line v (c < w - 1 || r < h - 1 ? "," : "")
            }
            print line
        }
    }'
}

# tmx NAME BATTLE P0X P0Y FLAG-SETS OBJECTS: a 20 x 15 map of grass (walkway) inside a fence (blocked).
tmx() {
    local name=$1 battle=$2 px=$3 py=$4 flagsets=$5 objects=$6
    cat >"$E2E_DIR/$name.tmx" <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<map version="1.10" orientation="orthogonal" renderorder="right-down" width="20" height="15" tilewidth="16" tileheight="16" infinite="0">
 <properties>
  <property name="tileset" value="./data/tiles.bmp"/>
  <property name="spriteset" value="./data/npcs.bmp"/>
  <property name="battle" type="bool" value="$battle"/>
  <property name="p0_x" type="int" value="$px"/>
  <property name="p0_y" type="int" value="$py"/>
  <property name="p1_x" type="int" value="$px"/>
  <property name="p1_y" type="int" value="$((py + 2))"/>
 </properties>
 <tileset firstgid="1" name="tiles" tilewidth="16" tileheight="16" tilecount="256" columns="16">
  <image source="../art/tiles.png" trans="ff00ff" width="256" height="256"/>
 </tileset>
 <tileset firstgid="65536" name="flags" tilewidth="16" tileheight="16" tilecount="16" columns="16">
  <image source="flags.bmp" trans="ff00ff" width="256" height="16"/>
 </tileset>
 <layer id="1" name="layer 0" width="20" height="15"><data encoding="csv">
$(csv 20 15 1 15)
</data></layer>
 <layer id="2" name="flags 0" width="20" height="15"><data encoding="csv">
$(csv 20 15 65540 65537 $flagsets)
</data></layer>
 <layer id="3" name="layer 1" width="20" height="15"><data encoding="csv">
$(csv 20 15 0 0)
</data></layer>
$objects
</map>
EOF
    "$RPG_TOOL" map build "$E2E_DIR/$name.tmx" "$DATA/$name.map" || return 1
}

# Home: the hero starts on (5, 5); the portal just below him leads into the arena.
home_objects='<objectgroup id="4" name="portals"><object id="1" x="80" y="96" width="16" height="16"><properties>
  <property name="dest_map" value="./data/arena.map"/><property name="dest_x" type="int" value="80"/>
  <property name="dest_y" type="int" value="80"/></properties></object></objectgroup>'
# Arena: the hero on (5, 5), a goblin (2 hit points) on his right. The hero's own cell is a wall
# on the grid, so the goblin's path search never reaches him: the goblin never strikes back and
# the test cannot lose, however the rolls fall.
arena_objects='<objectgroup id="4" name="npcs"><object id="1" x="96" y="80" width="16" height="16"><properties>
  <property name="sprite" type="int" value="13"/><property name="id" type="int" value="2"/></properties></object></objectgroup>'
check "the home map builds" tmx duskwing false 5 5 "" "$home_objects"
check "the arena builds" tmx arena true 5 5 "5,5=65537" "$arena_objects"
RPG_DATA="$DATA"

# Pixels of a screenshot's box (X Y W H) tinted red: red well above green and blue.
reddish() {
    convert "$E2E_DIR/$1" -crop "${4}x${5}+${2}+${3}" +repage -fx '(r>0.45&&r>1.8*g&&r>1.8*b)?1:0' \
        -format '%[fx:int(mean*w*h+.5)]' info:
}

echo "# into the arena through the portal"
rpg_start full
check "window RPG appears" rpg_wait_window
rpg_to_field
sleep 1
key_tap Down 120

# The hero's turn: the range round him is the 7 x 7 block without its corners (cells 2..8),
# tinted red; cells well outside it are not.
sleep 1
shot range
check "the red movement range is drawn round the hero" \
    at_least "$(reddish range.png 32 32 112 112)" 7000
check "nothing red outside it" at_most "$(reddish range.png 176 32 112 112)" 50
check "the field's status line is gone in battle" at_most "$(count_pixels range.png 0 0 120 10 red)" 0

# The action menu: its frame at (218, 360), the five entries written in black.
key_tap space
sleep 0.5
shot menu
check "the action menu opens on SPACE" at_least "$(count_pixels menu.png 240 368 80 56 dark)" 150

# Attack until the goblin falls: "Attack", the cursor onto it, SPACE; a box tells the blow.
won=0
for round in $(seq 30); do
    [ "$round" -gt 1 ] && { key_tap space; sleep 0.4; }
    key_tap Down
    sleep 0.2
    key_tap space
    sleep 0.3
    [ "$round" = 1 ] && { shot attack; check "the attack area shows round the hero" \
        at_least "$(reddish attack.png 64 64 48 48)" 1000; }
    key_tap Right
    sleep 0.2
    key_tap space
    check "round $round: the blow is told in a box" wait_pixels blow$round 0 400 640 80 panel 20000
    key_tap space
    sleep 0.6
    shot after$round
    if [ "$(count_pixels after$round.png 0 400 640 80 panel)" -ge 20000 ]; then
        e2e_log "the goblin fell in round $round"
        won=1
        break
    fi
    sleep 0.6  # the goblin waits out its turn (it finds no way to the hero)
done
check "the goblin falls and the victory box shows" equals "$won" 1
shot victory
key_tap space
check "back on the home map: its status line is drawn again" wait_pixels field 0 0 120 10 red 10

key_tap Escape
sleep 0.5
quit_yes
check "quits cleanly with status 0" equals "$RPG_STATUS" 0
check "no sanitizer reports" no_sanitizer_reports
e2e_finish
