#!/bin/bash
# The running game's screens checked for the content's pictures: the title screen and menu,
# the opening dialogue box, and a walked map with the hero on it (each check only once the
# game has that screen: the title once it loads title.tga, the box once the cinematics are in,
# the walked map once a new game loads the home map).
# RPG_DOCS=DIR copies the screenshots there for the README.
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=e2e/lib.sh
. "$HERE/e2e/lib.sh"
ART=$HERE/../content/art
find_in() { python3 "$HERE/content_screens.py" "$@"; }
above() { awk "BEGIN{exit !($1 > $2)}"; }
asks() { grep -q -a -F "$1" "$RPG_BIN"; }

# shot_until NAME SECONDS COMMAND...: screenshots NAME until COMMAND (given the shot's path)
# prints a share above ${WANT:-0.9} (or the time is up); leaves the share in $SHARE.
shot_until() {
    local name=$1 limit=$2 i
    shift 2
    SHARE=0
    for i in $(seq $((limit * 4))); do
        if shot "$name"; then
            SHARE=$("$@" "$E2E_DIR/$name.png")
            above "$SHARE" "${WANT:-0.9}" && return 0
        fi
        rpg_running || return 1
        sleep 0.25
    done
    return 1
}
match_at() { find_in match "$1" "$4" "$2" "$3"; }  # picture x y shot
# dialogue_box SECONDS: the box at the bottom (its text covers part of the grey, hence 0.7).
dialogue_box() {
    WANT=0.7 shot_until dialogue "$1" match_at "$ART/text.png" 0 400
    check "dialogue box at the bottom of the screen (share $SHARE)" above "$SHARE" 0.7
    SHOTS="$SHOTS dialogue"
}

e2e_setup
rpg_start full
rpg_wait_window || { echo "FAIL: the game showed no window"; exit 1; }
SHOTS=""

if asks title.tga; then
    shot_until title 6 match_at "$ART/title.png" 0 0
    check "title picture on screen (share $SHARE)" above "$SHARE" 0.9
    SHOTS="$SHOTS title"
    shot_until menu 8 match_at "$ART/banner.png" 120 0
    check "banner at the top of the menu (share $SHARE)" above "$SHARE" 0.9
    for e in newgame:100:75 loadgame:75:125 options:85:175 exit:70:225; do
        IFS=: read -r n x y <<<"$e"
        s=$(match_at "$ART/$n.png" "$x" "$y" "$E2E_DIR/menu.png")
        check "menu entry $n at ($x, $y) (share $s)" above "$s" 0.9
    done
    SHOTS="$SHOTS menu"
    # SPACE on the first entry starts a new game: the opening scene follows at once.
    key_tap space 100
else
    rpg_to_field
fi

if asks eviltemple.map; then
    # The opening scene speaks: the box sits at the bottom, 80 high.
    dialogue_box 10
    # Answer every box of the scene until the field shows again.
    for i in $(seq 20); do
        key_tap space 100
        sleep 0.4
        shot after
        s=$(match_at "$ART/text.png" 0 400 "$E2E_DIR/after.png")
        above "$s" 0.5 || break
    done
fi

if asks duskwing.map && ! [[ " $SHOTS " == *" dialogue "* ]] && [ -e "$RPG_DATA/npcs.txt" ]; then
    # No opening speech seen: talk to the villager who stands three tiles right of the hero
    # at the start of a new game (the walk stops at him, the hero then faces him).
    key_tap Right 1200
    key_tap space
    dialogue_box 5
    sleep 0.2
    key_tap space 100
    sleep 0.5
fi

if asks duskwing.map; then
    # A new game stands on the home map. Walk a little: down and right, then back up.
    for k in Down Right Up; do
        xdotool keydown "$k"; sleep 0.5; xdotool keyup "$k"
    done
    sleep 0.3
    shot field
    read -r share ox oy <<<"$(find_in tiles "$ART/tiles.png" "$E2E_DIR/field.png")"
    check "the map is drawn from the tileset (share $share of the cells, offset $ox,$oy)" above "$share" 0.5
    hero=$(find_in sprite "$ART/character.png" "$ART/tiles.png" "$E2E_DIR/field.png" 0 0 640 480)
    check "the hero's sprite is on the map ($hero pixels)" at_least "$hero" 20
    SHOTS="$SHOTS field"
fi

if [ -n "${RPG_DOCS:-}" ]; then
    mkdir -p "$RPG_DOCS"
    for s in $SHOTS; do cp "$E2E_DIR/$s.png" "$RPG_DOCS/screen-$s.png"; done
    echo "screenshots copied to $RPG_DOCS:$SHOTS"
fi
if [ "$E2E_CHECKS" -eq 0 ]; then
    echo "SKIP: the game has no title, dialogue or new game on the home map yet"
    exit 77
fi
e2e_finish
