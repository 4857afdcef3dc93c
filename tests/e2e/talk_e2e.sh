#!/bin/bash
# Talking to a villager end to end: walk to him with the arrow keys, SPACE opens his dialogue
# box, the window's close button asks whether to quit and NO returns to the box, a second SPACE
# closes it and the field comes back; then, in his box again, the close button and YES end the game.
source "$(dirname "$0")/lib.sh"
e2e_setup

# Inside its frame the box on the bottom 80 rows is the grey panel, from text.bmp or plain.
BOX_INSIDE="20 415 600 55"       # 33000 pixels
BOX_MIN=26000                    # most of it grey: the box is up
FIELD_MAX=16000                  # at most half grey: the field is drawn there again
TEXT_ROW="30 415 570 10"         # 5700 pixels
STATUS_BOX="0 0 80 8"
ALERT_BOX="200 212 240 50"

if [ -z "${RPG_DATA:-}" ] || ! [ -e "$RPG_DATA/duskwing.map" ]; then
    echo "no built home map in RPG_DATA (${RPG_DATA:-unset}): nothing to walk on"
    exit 1
fi

# A build that has not copied the lists into data/ yet gets them from the sources.
if ! [ -e "$RPG_DATA/npcs.txt" ]; then
    lists=$(readlink -f "$(dirname "$0")/../../content/lists")
    echo "note: $RPG_DATA has no npcs.txt; adding the lists from $lists"
    mkdir "$E2E_DIR/data"
    ln -s "$RPG_DATA"/* "$E2E_DIR/data/"
    ln -s "$lists"/*.txt "$E2E_DIR/data/"
    rm -f "$E2E_DIR/data/README.md"
    RPG_DATA="$E2E_DIR/data"
fi

echo "# new game on the home map: the villager stands three tiles right of the hero"
rpg_start full
check "window RPG appears" rpg_wait_window
rpg_to_field
check "the field is up" wait_pixels field $STATUS_BOX red 20
shot field
before=$(count_pixels field.png $BOX_INSIDE panel)
check "no box before talking ($before grey pixels)" at_most "$before" "$FIELD_MAX"

# The villager stops the hero, who then faces him.
key_tap Right 1200
key_tap space
check "SPACE facing the villager opens his box" wait_pixels talk $BOX_INSIDE panel "$BOX_MIN"
text=$(count_pixels talk.png $TEXT_ROW dark)
check "his words are on the first row ($text dark pixels)" at_least "$text" 200
check "the rest of the row is the box's grey" at_most "$text" 3000
check "the game waits in the box" rpg_running

rpg_close_button
check "the close button in the box asks whether to quit" wait_pixels box_alert $ALERT_BOX white 6000
key_tap Return  # the alert opens on "NO"
check "NO closes the question" wait_pixels box_no $ALERT_BOX white 0 3000
check "and the box is still up, waiting" wait_pixels box_no $BOX_INSIDE panel "$BOX_MIN"
check "the game waits in the box" rpg_running

key_tap space
check "a second SPACE closes the box and the field is drawn again" wait_pixels after $BOX_INSIDE panel 0 "$FIELD_MAX"
check "the field loop runs on" wait_pixels after $STATUS_BOX red 20

key_tap space
check "SPACE opens his box again" wait_pixels talk2 $BOX_INSIDE panel "$BOX_MIN"
rpg_close_button
check "the close button asks again" wait_pixels box_alert2 $ALERT_BOX white 6000
quit_yes
check "YES inside the box ends the game with status 0" equals "$RPG_STATUS" 0

# Message boxes may only name pictures or songs the build lacks; a failed map or list is a fault.
# A build whose content lacks the citadel's stage cannot play the opening's second scene: the
# loader says so once (the world's maps bring it).
allowed="could not be (found|loaded)|^ +\./data/|^$"
[ -e "$RPG_DATA/eviltemple.map" ] || allowed="$allowed|map to load! \./data/eviltemple\.map"
unexpected=$(grep -v -E "$allowed" "$MESSAGE_LOG")
if [ -n "$unexpected" ]; then
    echo "unexpected message boxes:"; printf '%s\n' "$unexpected" | sed 's/^/  ! /'
fi
check "no message box but missing-picture warnings" equals "$unexpected" ""
check "no sanitizer reports" no_sanitizer_reports

e2e_finish
