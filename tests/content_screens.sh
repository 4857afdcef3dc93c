#!/bin/bash
# The shipped content on the running game's screens: the title picture, the start menu's banner,
# the opening scene's dialogue box, and the home map walked with the hero on it.
# RPG_DOCS=DIR copies the screenshots there for the README.
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=e2e/lib.sh
. "$HERE/e2e/lib.sh"
ART=$HERE/../content/art
find_in() { python3 "$HERE/content_screens.py" "$@"; }
above() { awk "BEGIN{exit !($1 > $2)}"; }
match_at() { find_in match "$1" "$4" "$2" "$3"; }  # picture x y shot

# shot_until NAME SECONDS PICTURE X Y: screenshots NAME until PICTURE is found at (X, Y) with a
# share above ${WANT:-0.9} (or the time is up); leaves the share in $SHARE.
shot_until() {
    local name=$1 limit=$2 i
    SHARE=0
    for i in $(seq $((limit * 4))); do
        if shot "$name"; then
            SHARE=$(match_at "$3" "$4" "$5" "$E2E_DIR/$name.png")
            above "$SHARE" "${WANT:-0.9}" && return 0
        fi
        rpg_running || return 1
        sleep 0.25
    done
    return 1
}

e2e_setup
rpg_start full
rpg_wait_window || { echo "FAIL: the game showed no window"; exit 1; }

shot_until title 6 "$ART/title.png" 0 0
check "title picture on screen (share $SHARE)" above "$SHARE" 0.9
shot_until menu 8 "$ART/banner.png" 120 0
check "banner at the top of the menu (share $SHARE)" above "$SHARE" 0.9
key_tap space 100  # "new game": the opening scene follows at once

# The box at the bottom, 80 high (its text covers part of the grey, hence 0.7).
WANT=0.7 shot_until dialogue 10 "$ART/text.png" 0 400
check "dialogue box at the bottom of the screen (share $SHARE)" above "$SHARE" 0.7
check "the scene's boxes are answered until the field shows" rpg_answer_until_field

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

if [ -n "${RPG_DOCS:-}" ]; then
    mkdir -p "$RPG_DOCS"
    for s in title menu dialogue field; do cp "$E2E_DIR/$s.png" "$RPG_DOCS/screen-$s.png"; done
    echo "screenshots copied to $RPG_DOCS"
fi
e2e_finish
