#!/bin/bash
# The game shell end to end: status line, quit question on ESC and on the close button, the start
# menu with empty or no data/.
source "$(dirname "$0")/lib.sh"
e2e_setup
ALERT_BOX="200 212 240 50"
STATUS_BOX="0 0 80 8"

# start MODE NAME: the game up to its red status line.
start() {
    rpg_start "$1"
    check "window RPG appears ($1 data)" rpg_wait_window
    rpg_to_field
    check "red status line at the top left" wait_pixels "$2" $STATUS_BOX red 20 ${3:-}
}
# ask NAME TRIGGER... : the trigger shows the quit alert.
ask() { local n=$1; shift; "$@"; check "$* shows the quit alert" wait_pixels "$n" $ALERT_BOX white 6000; }
# refuse NAME KEY: KEY inside the alert answers NO; the game runs on.
refuse() {
    key_tap "$2"
    check "$2 in the alert closes it" wait_pixels "$1" $ALERT_BOX white 0 3000
    check "NO keeps the game running" rpg_running
}
yes_quits() { quit_yes; check "YES ends the game with status 0" equals "$RPG_STATUS" 0; }

start full field 300
ask alert key_tap Escape
refuse after_no Return  # the alert opens on "NO"
check "the status line is drawn again" wait_pixels after_no $STATUS_BOX red 20
ask alert2 key_tap Escape
refuse after_esc Escape  # ESC inside the alert means "NO"
ask alert3 key_tap Escape
yes_quits

start full close_field
ask close_alert rpg_close_button
refuse close_no Return
ask close_alert2 rpg_close_button
yes_quits

# Without data/ the start menu runs without its pictures, but no game can start on an empty
# map: "new game" names the missing home map and the menu stays; "load game" says there is no save.
BOX_INSIDE="20 415 600 55"
message_names() { for _ in $(seq 20); do grep -q "$1" "$MESSAGE_LOG" && return 0; sleep 0.2; done; return 1; }
rpg_start empty
check "window RPG appears (empty data)" rpg_wait_window
check "the start menu comes up without its pictures" rpg_wait_menu
check "one message names the missing files" grep -q "./data/text.bmp" "$MESSAGE_LOG"
key_tap space
check "new game names the missing home map" message_names "duskwing.map"
check "and the start menu stays" rpg_wait_menu
key_tap Down; key_tap space
check "load game says there is no saved game" wait_pixels empty_load $BOX_INSIDE panel 26000
key_tap space
check "SPACE closes the box; the menu is back" wait_pixels empty_menu $BOX_INSIDE panel 0 100
check "nothing drawn over the credit line" rpg_wait_menu
ask empty_alert rpg_close_button
yes_quits

rpg_start none
check "window RPG appears (no data folder)" rpg_wait_window
check "the start menu comes up" rpg_wait_menu
ask none_alert rpg_close_button
yes_quits

check "no sanitizer reports from any run" no_sanitizer_reports
e2e_finish
