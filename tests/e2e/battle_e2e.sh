#!/bin/bash
# A battle reached through a portal and fought with real keys: range, menu, blows, victory, back on the field.
source "$(dirname "$0")/lib.sh"
e2e_setup

# Home: a portal below the hero into the arena. Arena: a goblin (2 hit points) right of the hero, whose own
# cell is a wall on the grid: the goblin's path never reaches him, so the test cannot lose.
e2e_own_data <<'EOF'
def ground(wall):
    return lambda c, r: (15, 1) if c in (0, 19) or r in (0, 14) else (1, 1) if (c, r) == wall else (1, 4)
start = dict(PICTURES, p0_x=5, p0_y=5, p1_x=5, p1_y=7)
tmx(OUT + "/duskwing.tmx", 20, 15, dict(start, battle=False), ground(None),
    objects={"portals": [(80, 96, {"dest_map": "./data/arena.map", "dest_x": 80, "dest_y": 80})]})
tmx(OUT + "/arena.tmx", 20, 15, dict(start, battle=True), ground((5, 5)),
    objects={"npcs": [(96, 80, {"sprite": 13, "id": 2})]})
EOF

echo "# into the arena through the portal"
rpg_start full
check "window RPG appears" rpg_wait_window
rpg_to_field
sleep 1; key_tap Down 120; sleep 1

# The hero's turn: the range round him is the 7 x 7 block without its corners (cells 2..8), tinted red.
shot range
check "the red movement range is drawn round the hero" at_least "$(count_pixels range.png 32 32 112 112 reddish)" 7000
check "nothing red outside it" at_most "$(count_pixels range.png 176 32 112 112 reddish)" 50
check "the field's status line is gone in battle" at_most "$(count_pixels range.png 0 0 120 10 red)" 0
key_tap space; sleep 0.5; shot menu
check "the action menu opens on SPACE, its entries in black" at_least "$(count_pixels menu.png 240 368 80 56 dark)" 150

# Attack until the goblin falls: "Attack", the cursor onto it, SPACE; a box tells the blow.
won=0
for round in $(seq 30); do
    [ "$round" -gt 1 ] && { key_tap space; sleep 0.4; }
    key_tap Down; sleep 0.2
    key_tap space; sleep 0.3
    [ "$round" = 1 ] && shot attack && check "the attack area shows round the hero" at_least "$(count_pixels attack.png 64 64 48 48 reddish)" 1000
    key_tap Right; sleep 0.2
    key_tap space
    check "round $round: the blow is told in a box" wait_pixels blow$round 0 400 640 80 panel 20000
    key_tap space; sleep 0.6
    shot after$round
    at_least "$(count_pixels after$round.png 0 400 640 80 panel)" 20000 && { won=1; break; }  # the victory box
    sleep 0.6  # the goblin waits out its turn (it finds no way to the hero)
done
check "the goblin falls and the victory box shows" equals "$won" 1
key_tap space
check "back on the home map: its status line is drawn again" wait_pixels field 0 0 120 10 red 10
key_tap Escape; sleep 0.5
quit_yes
check "quits cleanly with status 0" equals "$RPG_STATUS" 0
check "no sanitizer reports" no_sanitizer_reports
e2e_finish
