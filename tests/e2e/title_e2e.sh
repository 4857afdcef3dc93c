#!/bin/bash
# From the title screen to a loaded game with real keys: the splash, the start menu, a new game with
# its opening scene, the status menu, a save at the cleric, quit; started again, "load game" puts the
# hero where he was saved. The maps and NPC list are the test's own, the pictures the build's.
# RPG_DOCS=DIR copies the title menu and status page screenshots there for the README.
source "$(dirname "$0")/lib.sh"
HERE=$(cd "$(dirname "$0")/.." && pwd)
ART=$HERE/../content/art
find_in() { python3 "$HERE/content_screens.py" "$@"; }
above() { awk "BEGIN{exit !($1 > $2)}"; }
e2e_setup

# Home, smaller than the screen (a screen pixel is a map pixel): from (5, 5) down, then right, a wall along
# row 10 and the cleric's altar at (12, 9) leave the hero at pixel (176, 144) facing it.
SAVED_X=176 SAVED_Y=144
e2e_own_data <<'EOF'
GRASS, WALL, FLOOR, COUNTER = (1, 4), (4, 1), (5, 4), (28, 8)
def home_ground(c, r):
    return WALL if c in (0, 29) or r in (0, 19) or (r == 10 and c < 29) or (c, r) == (12, 9) else GRASS
tmx(OUT + "/duskwing.tmx", 30, 20, {"cine": 1, "p0_x": 5, "p0_y": 5, "p1_x": 6, "p1_y": 5},
    home_ground, lambda c, r: COUNTER if (c, r) == (12, 9) else (0, 0),
    {"events": [(192, 144, {"type": 64, "quest": 0, "speaker": "Cleric",
                            "text": "Shall I write down your deeds?", "text2": ""})],
     "npcs": [(32, 32, {"sprite": 3, "id": 1, "extra": 0})]})
tmx(OUT + "/eviltemple.tmx", 40, 30, {}, lambda c, r: FLOOR)
EOF
rm "$RPG_DATA/npcs.txt"
printf '1\nHouse Elder\nWelcome home.\nnone\n\n\n0\n0\nWelcome home.\n' >"$RPG_DATA/npcs.txt"

# hero_at SHOT X Y: pixels of the hero's sheet in his 16 x 16 square at (X, Y) of the screenshot.
hero_at() { find_in sprite "$ART/character.png" "$ART/tiles.png" "$E2E_DIR/$1.png" "$2" "$3" 16 16; }
share_above() { above "$(find_in match "$ART/$1.png" "$E2E_DIR/$2.png" "$3" "$4")" "$5"; }
saved() { for _ in $(seq 25); do [ -s "$RUN_DIR/player.sav" ] && return 0; sleep 0.2; done; return 1; }
status_up() { for _ in $(seq 20); do shot status; share_above status status 0 0 0.8 && return 0; sleep 0.25; done; return 1; }

echo "# first run: the start menu, a new game and its opening scene"
rpg_start full
check "window RPG appears" rpg_wait_window
check "the splash shows the title picture" wait_pixels splash 0 280 640 180 lit 50000
check "the start menu follows" rpg_wait_menu
shot menu
for e in banner:120:0:0.9 newgame:100:75:0.9 loadgame:75:125:0.9 options:85:175:0.9 exit:70:225:0.9 selector:87:95:0.7; do
    IFS=: read -r n x y share <<<"$e"
    check "$n at ($x, $y)" share_above "$n" menu "$x" "$y" "$share"
done
key_tap space 100
check "the scene's boxes are answered until the field shows" rpg_answer_until_field
check "the hero stands on the start tile (5, 5)" at_least "$(hero_at to_field 80 80)" 20

echo "# the status menu; walk to the cleric and save"
key_tap Control_L 100
check "CONTROL opens the status page" status_up
key_tap Alt_L 100
check "ALT closes it: the field is back" field_up field
key_tap Down 1500; key_tap Right 2000; shot walked
check "the hero stands before the altar at ($SAVED_X, $SAVED_Y)" at_least "$(hero_at walked $SAVED_X $SAVED_Y)" 20
key_tap space 100
check "SPACE facing the altar: the cleric speaks" box_up cleric
key_tap space 100; sleep 0.3; key_tap Down; key_tap space 100
check "\"Save\" writes player.sav" saved
check "and says so in a box" box_up saved
key_tap space 100
key_tap Escape
check "ESC asks whether to quit" alert_up quit
quit_yes
check "YES ends the game with status 0" equals "$RPG_STATUS" 0
check "no message box but missing-picture warnings" only_picture_warnings

echo "# second run: load the saved game"
rpg_start again
check "window RPG appears again" rpg_wait_window
check "the start menu" rpg_wait_menu
key_tap Down; key_tap space 100
check "load game goes to the field" field_up loaded 10
sleep 0.5; shot loaded
check "the hero stands where he was saved" at_least "$(hero_at loaded $SAVED_X $SAVED_Y)" 20
rpg_close_button
check "the close button asks whether to quit" alert_up quit2
quit_yes
check "YES ends the game with status 0" equals "$RPG_STATUS" 0
check "no sanitizer reports" no_sanitizer_reports

[ -n "${RPG_DOCS:-}" ] && mkdir -p "$RPG_DOCS" && cp "$E2E_DIR/menu.png" "$RPG_DOCS/screen-menu.png" &&
    cp "$E2E_DIR/status.png" "$RPG_DOCS/screen-status.png"
e2e_finish
