#!/bin/bash
# The game shell end to end: status line, quit question on ESC and on the close button, empty data/.
source "$(dirname "$0")/lib.sh"
e2e_setup

# The quit alert is drawn centred; most of this box is the alert's white background.
ALERT_BOX="200 212 240 50"
# The status line "%d fps %d" in red at the top left.
STATUS_BOX="0 0 80 8"

echo "# a game with the build's data: status line, ESC, NO, ESC in the alert, YES"
rpg_start full
check "window RPG appears" rpg_wait_window
rpg_to_field
check "red status line at the top left" wait_pixels field $STATUS_BOX red 20 300
key_tap Escape
check "ESC shows the quit alert" wait_pixels alert $ALERT_BOX white 6000
key_tap Return  # the alert opens on its first button, "NO"
check "NO closes the alert" wait_pixels after_no $ALERT_BOX white 0 3000
check "NO keeps the game running" rpg_running
check "the status line is drawn again" wait_pixels after_no $STATUS_BOX red 20
key_tap Escape
check "ESC shows the alert again" wait_pixels alert2 $ALERT_BOX white 6000
key_tap Escape  # ESC inside the alert means "NO", not "YES"
check "ESC inside the alert closes it" wait_pixels after_esc $ALERT_BOX white 0 3000
check "ESC inside the alert keeps the game" rpg_running
key_tap Escape
check "ESC shows the alert a third time" wait_pixels alert3 $ALERT_BOX white 6000
key_tap Right  # to "YES"
sleep 0.2
key_tap Return
rpg_wait_exit 10
check "YES ends the game with status 0" equals "$RPG_STATUS" 0

echo "# the window's close button"
rpg_start full
check "window RPG appears" rpg_wait_window
rpg_to_field
check "the field is up" wait_pixels close_field $STATUS_BOX red 20
rpg_close_button
check "close button shows the quit alert" wait_pixels close_alert $ALERT_BOX white 6000
key_tap Return
check "NO closes the alert" wait_pixels close_no $ALERT_BOX white 0 3000
check "NO keeps the game running" rpg_running
rpg_close_button
check "close button asks again" wait_pixels close_alert2 $ALERT_BOX white 6000
key_tap Right
sleep 0.2
key_tap Return
rpg_wait_exit 10
check "YES after the close button ends with status 0" equals "$RPG_STATUS" 0

echo "# an empty data/ folder"
rpg_start empty
check "window RPG appears with no content" rpg_wait_window
rpg_to_field
check "the field loop draws its status line" wait_pixels empty $STATUS_BOX red 20
check "one message names the missing files" grep -q "./data/text.bmp" "$MESSAGE_LOG"
key_tap Right 300
key_tap space
key_tap Control_L
key_tap m
check "still running after walking, SPACE, CONTROL and M" rpg_running
key_tap Escape
check "ESC asks with no content too" wait_pixels empty_alert $ALERT_BOX white 6000
key_tap Right
sleep 0.2
key_tap Return
rpg_wait_exit 10
check "quits cleanly with status 0" equals "$RPG_STATUS" 0

echo "# no data/ folder at all"
rpg_start none
check "window RPG appears with no data folder" rpg_wait_window
rpg_to_field
check "the field loop runs" wait_pixels none $STATUS_BOX red 20
rpg_close_button
check "the close button asks" wait_pixels none_alert $ALERT_BOX white 6000
key_tap Right
sleep 0.2
key_tap Return
rpg_wait_exit 10
check "quits cleanly with status 0" equals "$RPG_STATUS" 0

check "no sanitizer reports from any run" no_sanitizer_reports

e2e_finish
