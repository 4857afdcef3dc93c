#!/bin/bash
# The hero walking the home map with real arrow keys: the view follows him in the screenshots.
source "$(dirname "$0")/lib.sh"
e2e_setup

# Row y = $2 (or column x = $2 with $3 = col) of a screenshot, one packed RGB number a pixel.
line_pixels() {
    local crop="640x1+0+$2"
    [ "${3:-row}" = col ] && crop="1x480+$2+0"
    convert "$E2E_DIR/$1" -crop "$crop" +repage -depth 8 rgb:- | od -An -v -tu1 -w3 |
        awk '{print $1 * 65536 + $2 * 256 + $3}'
}

# view_shift before.png after.png position [row|col]: the shift d in 1..300 for which
# after[i] = before[i + d] holds for most lit pixels, or 0 when none fits.
view_shift() {
    paste <(line_pixels "$1" "$3" "${4:-row}") <(line_pixels "$2" "$3" "${4:-row}") | awk '
        { before[NR - 1] = $1; after[NR - 1] = $2; n = NR }
        END {
            best = 0; best_ratio = 0
            for (d = 1; d <= 300 && d < n - 40; d++) {
                same = 0; lit = 0
                for (i = 0; i + d < n; i++) {
                    if (after[i] == before[i + d]) same++
                    if (before[i + d] != 0) lit++
                }
                ratio = same / (n - d)
                if (lit > 30 && ratio > best_ratio) { best_ratio = ratio; best = d }
            }
            print (best_ratio >= 0.8 ? best : 0)
        }'
}

# The shift seen on most of three lines away from the status line and the hero, so that one
# line crossing a moving figure does not decide.
majority_shift() {
    local a=$1 b=$2 kind=$3 at=(40 200 600) s1 s2 s3
    [ "$kind" = row ] && at=(60 330 450)
    s1=$(view_shift "$a" "$b" "${at[0]}" "$kind"); s2=$(view_shift "$a" "$b" "${at[1]}" "$kind")
    s3=$(view_shift "$a" "$b" "${at[2]}" "$kind")
    e2e_log "shifts $a -> $b ($kind): $s1 $s2 $s3" >&2
    if [ "$s1" = "$s2" ] || [ "$s1" = "$s3" ]; then echo "$s1"; else echo "$s2"; fi
}

between() { [ "${1:-0}" -ge "$2" ] && [ "${1:-0}" -le "$3" ]; } 2>/dev/null

if [ -z "${RPG_DATA:-}" ] || ! [ -f "$RPG_DATA/duskwing.map" ] || ! [ -f "$RPG_DATA/tiles.bmp" ]; then
    echo "skipped: the home map and its tileset are not in the build's data/ folder"
    exit 0
fi

echo "# walking the home map"
rpg_start full
check "window RPG appears" rpg_wait_window
rpg_to_field
sleep 1
shot start
check "the map is drawn" at_least "$(count_pixels start.png 0 16 640 464 lit)" 100000

# The hero starts in the upper middle of a map larger than the screen; the view follows once he
# is past the screen's middle.
key_tap Down 2500
sleep 0.3
shot down
down=$(majority_shift start.png down.png col)
check "walking down moves the view down" between "$down" 20 200

key_tap Right 1000
sleep 0.3
shot right
moved=$(majority_shift down.png right.png row)
check "walking right moves the view right (about 60 pixels a second)" between "$moved" 30 120

key_tap Left 1000
sleep 0.3
shot left
back=$(majority_shift left.png right.png row)
check "walking left moves it back" between "$back" 30 120

key_tap Escape
sleep 0.5
quit_yes
check "quits cleanly with status 0" equals "$RPG_STATUS" 0
check "no sanitizer reports" no_sanitizer_reports

e2e_finish
