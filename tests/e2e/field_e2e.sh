#!/bin/bash
# The field with real keys on the build's content: the status line, the quit question on ESC and
# on the close button (NO goes back, also into an open dialogue box), talking to the villager,
# the view following the hero at the timer's pace; then the start menu with empty or no data/.
source "$(dirname "$0")/lib.sh"
e2e_setup
[ -e "${RPG_DATA:-}/duskwing.map" ] || { echo "no built home map in RPG_DATA (${RPG_DATA:-unset})"; exit 1; }

# ask NAME TRIGGER...: the trigger shows the quit alert. refuse NAME KEY: KEY in the alert answers NO.
ask() { local n=$1; shift; "$@"; check "$* shows the quit alert" alert_up "$n"; }
refuse() { key_tap "$2"; check "$2 in the alert closes it" alert_gone "$1"; check "NO keeps the game running" rpg_running; }
yes_quits() { quit_yes; check "YES ends the game with status 0" equals "$RPG_STATUS" 0; }

# view_shift BEFORE AFTER: how far the view moved right between two screenshots: the shift d in
# 1..300 for which after[x] = before[x + d] holds for most lit pixels of rows away from the status
# line and the hero (the one most rows agree on), or 0 when none fits.
view_shift() {
    local y s=()
    for y in 60 330 450; do
        s+=("$(paste <(row_pixels "$1" $y) <(row_pixels "$2" $y) | awk '
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
    e2e_log "shifts $1 -> $2: ${s[*]}" >&2
    if [ "${s[0]}" = "${s[1]}" ] || [ "${s[0]}" = "${s[2]}" ]; then echo "${s[0]}"; else echo "${s[1]}"; fi
}
row_pixels() { convert "$E2E_DIR/$1" -crop "640x1+0+$2" +repage -depth 8 rgb:- | od -An -v -tu1 -w3 | awk '{print $1 * 65536 + $2 * 256 + $3}'; }

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

echo "# walking: once past the screen's middle the view follows the hero, about 60 pixels a second"
key_tap Down 2500; sleep 0.3; shot down
key_tap Right 1000; sleep 0.3; shot right
check "walking right for a second moves the view right" between "$(view_shift down.png right.png)" 30 120
ask close_alert rpg_close_button
yes_quits
# Pictures or songs the build lacks may be named; a failed map or list is a fault. Content
# without the citadel's stage cannot play the opening's second scene: the loader says so once.
allowed=""
[ -e "$RPG_DATA/eviltemple.map" ] || allowed="map to load! \./data/eviltemple\.map"
check "no message box but missing-picture warnings" only_picture_warnings "$allowed"

# Without data/ (empty or none) the start menu runs without its pictures (the menu's choices
# without a game to start are the title tests').
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
