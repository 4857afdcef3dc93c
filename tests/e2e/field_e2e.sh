#!/bin/bash
# The field with real keys on the build's content: the status line, the quit question on ESC and
# on the close button (NO goes back, also into an open dialogue box), talking to the villager; then
# the start menu with empty or no data/. (The view following the hero is the field walking tests'.)
source "$(dirname "$0")/lib.sh"
e2e_setup
[ -e "${RPG_DATA:-}/duskwing.map" ] || { echo "no built home map in RPG_DATA (${RPG_DATA:-unset})"; exit 1; }

# ask NAME TRIGGER...: the trigger shows the quit alert. refuse NAME KEY: KEY in the alert answers NO.
ask() { local n=$1; shift; "$@"; check "$* shows the quit alert" alert_up "$n"; }
refuse() { key_tap "$2"; check "$2 in the alert closes it" alert_gone "$1"; check "NO keeps the game running" rpg_running; }
yes_quits() { quit_yes; check "YES ends the game with status 0" equals "$RPG_STATUS" 0; }

echo "# the field of a new game, and ESC"
rpg_start full
check "window RPG appears" rpg_wait_window
rpg_to_field
check "red status line at the top left" wait_pixels field $STATUS_BOX red 20 300
ask alert key_tap Escape
refuse after_no Return  # the alert opens on "NO"
check "the status line is drawn again" wait_pixels after_no $STATUS_BOX red 20
ask alert2 key_tap Escape
refuse after_esc Escape  # ESC inside the alert means "NO"

echo "# the villager three tiles right of the hero; the close button in his box"
key_tap Right 1200  # he stops the hero, who then faces him
key_tap space
check "SPACE facing the villager opens his box" box_up talk
check "his words are on the first row" between "$(count_pixels talk.png 30 415 570 10 dark)" 200 3000
ask box_alert rpg_close_button
refuse box_no Return
check "and the box is still up, waiting" box_up box_no
key_tap space
check "a second SPACE closes the box" box_gone after_box

ask close_alert rpg_close_button
yes_quits
# Missing pictures or songs may be named, a failed map or list not (but the citadel's stage, if absent).
allowed=""
[ -e "$RPG_DATA/eviltemple.map" ] || allowed="map to load! \./data/eviltemple\.map"
check "no message box but missing-picture warnings" only_picture_warnings "$allowed"

# Without data/ the start menu runs without its pictures (its choices then are the title tests').
for mode in empty none; do
    rpg_start $mode
    check "window RPG appears ($mode data)" rpg_wait_window
    check "the start menu comes up without its pictures" rpg_wait_menu
    check "one message names the missing files" grep -q "./data/text.bmp" "$MESSAGE_LOG"
    ask ${mode}_alert rpg_close_button
    yes_quits
done
check "no sanitizer reports from any run" no_sanitizer_reports
e2e_finish
