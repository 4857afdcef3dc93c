#!/bin/bash
# The field with real keys on the build's content: the status line, the quit question on ESC and
# on the close button (NO goes back, also into an open dialogue box), talking to the villager,
# the view following the hero as he walks; then the start menu with empty or no data/.
source "$(dirname "$0")/lib.sh"
e2e_setup
[ -e "${RPG_DATA:-}/duskwing.map" ] || { echo "no built home map in RPG_DATA (${RPG_DATA:-unset})"; exit 1; }

# ask NAME TRIGGER...: the trigger shows the quit alert.
ask() { local n=$1; shift; "$@"; check "$* shows the quit alert" alert_up "$n"; }
# refuse NAME KEY: KEY inside the alert answers NO; the game runs on.
refuse() {
    key_tap "$2"
    check "$2 in the alert closes it" alert_gone "$1"
    check "NO keeps the game running" rpg_running
}
yes_quits() { quit_yes; check "YES ends the game with status 0" equals "$RPG_STATUS" 0; }

# Row y = $2 (or column x = $2 with $3 = col) of a screenshot, one packed RGB number a pixel.
line_pixels() {
    local crop="640x1+0+$2"
    [ "${3:-row}" = col ] && crop="1x480+$2+0"
    convert "$E2E_DIR/$1" -crop "$crop" +repage -depth 8 rgb:- | od -An -v -tu1 -w3 |
        awk '{print $1 * 65536 + $2 * 256 + $3}'
}
# view_shift BEFORE AFTER KIND: the shift d in 1..300 for which after[i] = before[i + d] holds for
# most lit pixels on three lines away from the status line and the hero (the one most lines
# agree on), or 0 when none fits.
view_shift() {
    local at=(40 200 600) p s=()
    [ "$3" = row ] && at=(60 330 450)
    for p in "${at[@]}"; do
        s+=("$(paste <(line_pixels "$1" "$p" "$3") <(line_pixels "$2" "$p" "$3") | awk '
            { before[NR - 1] = $1; after[NR - 1] = $2; n = NR }
            END {
                best = 0; best_ratio = 0
                for (d = 1; d <= 300 && d < n - 40; d++) {
                    same = 0; lit = 0
                    for (i = 0; i + d < n; i++) { same += after[i] == before[i + d]; lit += before[i + d] != 0 }
                    if (lit > 30 && same / (n - d) > best_ratio) { best_ratio = same / (n - d); best = d }
                }
                print (best_ratio >= 0.8 ? best : 0)
            }')")
    done
    e2e_log "shifts $1 -> $2 ($3): ${s[*]}" >&2
    if [ "${s[0]}" = "${s[1]}" ] || [ "${s[0]}" = "${s[2]}" ]; then echo "${s[0]}"; else echo "${s[1]}"; fi
}
between() { [ "${1:-0}" -ge "$2" ] && [ "${1:-0}" -le "$3" ]; } 2>/dev/null

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
text=$(count_pixels talk.png 30 415 570 10 dark)
check "his words are on the first row ($text dark pixels)" between "$text" 200 3000
ask box_alert rpg_close_button
refuse box_no Return
check "and the box is still up, waiting" box_up box_no
key_tap space
check "a second SPACE closes the box" box_gone after_box
check "the field loop runs on" wait_pixels after_box $STATUS_BOX red 20

echo "# walking: the view follows the hero once he is past the screen's middle"
shot start
key_tap Down 2500; sleep 0.3; shot down
check "walking down moves the view down" between "$(view_shift start.png down.png col)" 20 200
key_tap Right 1000; sleep 0.3; shot right
check "walking right moves the view right (about 60 pixels a second)" between "$(view_shift down.png right.png row)" 30 120
key_tap Left 1000; sleep 0.3; shot left
check "walking left moves it back" between "$(view_shift left.png right.png row)" 30 120
ask close_alert rpg_close_button
yes_quits
# Pictures or songs the build lacks may be named; a failed map or list is a fault. Content
# without the citadel's stage cannot play the opening's second scene: the loader says so once.
allowed=""
[ -e "$RPG_DATA/eviltemple.map" ] || allowed="map to load! \./data/eviltemple\.map"
check "no message box but missing-picture warnings" only_picture_warnings "$allowed"

# Without data/ the start menu runs without its pictures, but no game can start on an empty
# map: "new game" names the missing home map and the menu stays; "load game" says there is no save.
message_names() { for _ in $(seq 20); do grep -q "$1" "$MESSAGE_LOG" && return 0; sleep 0.2; done; return 1; }
rpg_start empty
check "window RPG appears (empty data)" rpg_wait_window
check "the start menu comes up without its pictures" rpg_wait_menu
check "one message names the missing files" grep -q "./data/text.bmp" "$MESSAGE_LOG"
key_tap space
check "new game names the missing home map" message_names "duskwing.map"
check "and the start menu stays" rpg_wait_menu
key_tap Down; key_tap space
check "load game says there is no saved game" box_up empty_load
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
