#!/bin/bash
# The game shell end to end: status line, quit question on ESC and on the close button, empty data/.
source "$(dirname "$0")/lib.sh"
e2e_setup

# The quit alert is drawn centred; most of this box is the alert's white background.
ALERT_BOX="200 212 240 50"

echo "# a game with the build's data: status line, ESC, NO, ESC, YES"
rpg_start full
check "window RPG appears" rpg_wait_window
rpg_to_field
shot field
check "red status line at the top left" at_least "$(count_pixels field.png 0 0 80 8 red)" 20
check "no red beyond the status line's row" at_most "$(count_pixels field.png 0 0 80 8 red)" 300
key_tap Escape
sleep 0.5
shot alert
check "ESC shows the quit alert" at_least "$(count_pixels alert.png $ALERT_BOX white)" 6000
key_tap Return  # the alert opens on its first button, "NO"
sleep 0.5
shot after_no
check "NO keeps the game running" rpg_running
check "NO closes the alert" at_most "$(count_pixels after_no.png $ALERT_BOX white)" 3000
check "the status line is drawn again" at_least "$(count_pixels after_no.png 0 0 80 8 red)" 20
key_tap Escape
sleep 0.5
key_tap Escape  # ESC inside the alert means "NO", not "YES"
sleep 0.5
check "ESC inside the alert keeps the game" rpg_running
key_tap Escape
sleep 0.5
key_tap Right
sleep 0.2
key_tap Return  # "YES"
rpg_wait_exit 10
check "YES ends the game with status 0" equals "$RPG_STATUS" 0

echo "# the window's close button"
rpg_start full
check "window RPG appears" rpg_wait_window
rpg_to_field
rpg_close_button
sleep 0.5
shot close_alert
check "close button shows the quit alert" at_least "$(count_pixels close_alert.png $ALERT_BOX white)" 6000
key_tap Return
sleep 0.5
check "NO keeps the game running" rpg_running
rpg_close_button
sleep 0.5
key_tap Right
sleep 0.2
key_tap Return
rpg_wait_exit 10
check "YES after the close button ends with status 0" equals "$RPG_STATUS" 0

echo "# an empty data/ folder"
rpg_start empty
check "window RPG appears with no content" rpg_wait_window
rpg_to_field
sleep 0.5
shot empty
check "the field loop draws its status line" at_least "$(count_pixels empty.png 0 0 80 8 red)" 20
check "one message names the missing files" grep -q "./data/text.bmp" "$MESSAGE_LOG"
key_tap Right 300
key_tap space
key_tap Escape
sleep 0.5
key_tap Right
sleep 0.2
key_tap Return
rpg_wait_exit 10
check "quits cleanly with status 0" equals "$RPG_STATUS" 0
check "no sanitizer reports from any run" no_sanitizer_reports

e2e_finish
