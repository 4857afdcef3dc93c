#!/bin/bash
# Shared functions of the end-to-end tests: the real rpg binary under Xvfb, driven by xdotool.
# Every wait is bounded; the exit trap kills the game and Xvfb (by their own pids only).
set -u
E2E_FAILS=0 E2E_CHECKS=0 RPG_PID="" XVFB_PID="" WID="" RPG_STATUS=""
# Where the grey inside of a dialogue box, the field's red status line and the quit alert stand.
BOX_INSIDE="20 415 600 55" STATUS_BOX="0 0 80 8" ALERT_BOX="200 212 240 50"

e2e_log() { echo "[e2e $(date +%H:%M:%S.%N | cut -c1-12)] $*"; }

e2e_cleanup() {
    [ -n "$RPG_PID" ] && kill -KILL "$RPG_PID" 2>/dev/null && wait "$RPG_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    [ "${E2E_KEEP:-0}" = 1 ] && echo "e2e files kept in $E2E_DIR" || rm -rf "$E2E_DIR"
}

# Temp dir, a stub xmessage first on PATH (logs the text, answers OK at once), Xvfb on a free display.
e2e_setup() {
    RPG_BIN=$(readlink -f "${RPG_BIN:?set RPG_BIN to the rpg binary}")
    RPG_XCLOSE=$(readlink -f "${RPG_XCLOSE:-/nonexistent}") RPG_DATA=$(readlink -f "${RPG_DATA:-/nonexistent}")
    E2E_DIR=$(mktemp -d /tmp/rpg_e2e.XXXXXX)
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM
    mkdir -p "$E2E_DIR/bin"
    MESSAGE_LOG="$E2E_DIR/messages.log"
    printf '#!/bin/sh\nfor a in "$@"; do last="$a"; done\nprintf "%%s\\n" "$last" >>"%s"\nexit 101\n' \
        "$MESSAGE_LOG" >"$E2E_DIR/bin/xmessage"
    chmod +x "$E2E_DIR/bin/xmessage"
    export PATH="$E2E_DIR/bin:$PATH"
    Xvfb -displayfd 7 -screen 0 800x600x24 -nolisten tcp 7>"$E2E_DIR/display" 2>"$E2E_DIR/xvfb.log" &
    XVFB_PID=$!
    for _ in $(seq 100); do [ -s "$E2E_DIR/display" ] || ! kill -0 "$XVFB_PID" 2>/dev/null && break; sleep 0.1; done
    [ -s "$E2E_DIR/display" ] || { echo "Xvfb did not start:"; cat "$E2E_DIR/xvfb.log"; exit 1; }
    export DISPLAY=":$(tr -d '\n' <"$E2E_DIR/display")"
    e2e_log "Xvfb on $DISPLAY"
}

# e2e_own_data <<'EOF' PYTHON EOF: RPG_DATA becomes the build's data less its maps, plus those the Python
# writes as OUT + "/NAME.tmx" with tmx() (tests/e2e/tmx.py). A test replaces a list by removing its link first.
e2e_own_data() {
    : "${RPG_TOOL:?set RPG_TOOL to the rpgtool binary}"
    [ -e "${RPG_DATA:-}/tiles.bmp" ] || { echo "no built content in RPG_DATA (${RPG_DATA:-unset})"; exit 1; }
    local data=$E2E_DIR/data f
    mkdir "$data"
    for f in "$RPG_DATA"/*; do case $f in *.map | *.MAP) ;; *) ln -s "$(readlink -f "$f")" "$data/" ;; esac; done
    { echo "import sys; from tmx import tmx, PICTURES; OUT = sys.argv[1]"; cat; } |
        PYTHONPATH=$(dirname "${BASH_SOURCE[0]}") python3 - "$E2E_DIR" || exit 1
    for f in "$E2E_DIR"/*.tmx; do
        "$RPG_TOOL" map build "$f" "$data/$(basename "$f" .tmx).map" || { echo "cannot build the test map $f"; exit 1; }
    done
    RPG_DATA=$data
}

# Starts the game in a fresh working dir with data/ "full", "empty" or "none", or "again" in the last one.
rpg_start() {
    local mode=${1:-full}
    [ "$mode" = again ] || RUN_DIR=$(mktemp -d "$E2E_DIR/run.XXXX")
    case $mode in full) ln -s "$RPG_DATA" "$RUN_DIR/data" ;; empty) mkdir "$RUN_DIR/data" ;; esac
    : >"$MESSAGE_LOG"
    # The last game's window must be gone, or the search below could find it (even by the same id).
    for _ in $(seq 50); do [ -z "$(xdotool search --name '^RPG$' 2>/dev/null)" ] && break; sleep 0.1; done
    (cd "$RUN_DIR" && exec "$RPG_BIN") >"$RUN_DIR/stdout.log" 2>"$RUN_DIR/stderr.log" &
    RPG_PID=$! RPG_STATUS="" WID=""
    e2e_log "rpg started ($mode data), pid $RPG_PID"
}

rpg_running() { [ -n "$RPG_PID" ] && kill -0 "$RPG_PID" 2>/dev/null; }

# Waits up to 20 seconds for the game's window "RPG"; sets WID and focuses it.
rpg_wait_window() {
    for _ in $(seq 200); do
        WID=$(xdotool search --name '^RPG$' 2>/dev/null | head -n1)
        [ -n "$WID" ] || ! rpg_running && break
        sleep 0.1
    done
    [ -n "$WID" ] || { e2e_log "no RPG window; its output:"; tail -n 20 "$RUN_DIR/stderr.log" "$RUN_DIR/stdout.log"; return 1; }
    timeout 5 xdotool windowfocus --sync "$WID" 2>/dev/null || timeout 5 xdotool windowfocus "$WID"
    sleep 0.5  # the first frames
}

# The start menu: nothing lit below the four entries (no splash) and the credit line (even without data/).
rpg_wait_menu() { wait_pixels menu 0 280 640 180 lit 0 100 12 && wait_pixels menu 0 470 320 8 white 50 99999 4; }

# From the game's first screen to the field: "new game" in the start menu, then the opening scene answered.
rpg_to_field() {
    rpg_wait_menu || { e2e_log "rpg_to_field: no start menu"; return 1; }
    key_tap space 100
    rpg_answer_until_field
}

# SPACE for a scene's boxes and cards until the field's status line shows twice with no box (in to_field.png).
rpg_answer_until_field() {
    local seen=0
    for _ in $(seq 90); do
        shot to_field && between "$(count_pixels to_field.png $STATUS_BOX red)" 20 400 &&
            at_most "$(count_pixels to_field.png $BOX_INSIDE panel)" 15999 && seen=$((seen + 1)) || { seen=0; key_tap space 100; }
        [ "$seen" -ge 2 ] && return 0
        rpg_running || return 1
        sleep 0.3
    done
    e2e_log "rpg_answer_until_field: the field did not show"
    return 1
}

# Holds a key for $2 ms (default 80): the game polls key state each 1/60 s.
key_tap() { xdotool keydown "$1"; sleep "$(awk "BEGIN{print ${2:-80}/1000}")"; xdotool keyup "$1"; }
shot() { timeout 10 import -window "$WID" -depth 8 "$E2E_DIR/$1.png"; }

# Pixels of a colour class in the box X Y W H of a screenshot; panel is the box's grey as 16-bit colour shows it.
declare -A PIXEL_CLASS=([red]='(r>0.85&&g<0.2&&b<0.2)' [white]='(r>0.9&&g>0.9&&b>0.9)' [lit]='(r+g+b>0.1)'
    [panel]='(abs(r-0.76)<0.035&&abs(g-0.76)<0.035&&abs(b-0.76)<0.035)' [dark]='(r+g+b<0.3)' [reddish]='(r>0.45&&r>1.8*g&&r>1.8*b)')
count_pixels() {
    convert "$E2E_DIR/$1" -crop "${4}x${5}+${2}+${3}" +repage -fx "${PIXEL_CLASS[$6]:?unknown pixel class $6}?1:0" \
        -format '%[fx:int(mean*w*h+.5)]' info:
}

# wait_pixels NAME X Y W H CLASS MIN [MAX] [SECONDS]: screenshots until MIN..MAX pixels of the class (8 s).
wait_pixels() {
    local n=""
    for _ in $(seq $((${9:-8} * 4))); do
        shot "$1" && n=$(count_pixels "$1.png" "$2" "$3" "$4" "$5" "$6") && between "$n" "$7" "${8:-999999999}" && return 0
        rpg_running || return 1
        sleep 0.25
    done
    e2e_log "wait_pixels $1: $6 pixels in ${4}x${5}+$2+$3: ${n:-none}, wanted $7..${8:-}"
    return 1
}

# Waits for a screen, screenshot NAME: a dialogue box up or gone, the quit alert up or gone, the field.
box_up() { wait_pixels "$1" $BOX_INSIDE panel 26000 999999 "${2:-8}"; }
box_gone() { wait_pixels "$1" $BOX_INSIDE panel 0 16000; }
alert_up() { wait_pixels "$1" $ALERT_BOX white 6000; }
alert_gone() { wait_pixels "$1" $ALERT_BOX white 0 3000; }
field_up() { wait_pixels "$1" $STATUS_BOX red 20 400 "${2:-8}"; }
rpg_close_button() { "$RPG_XCLOSE" "$WID"; }  # what the window manager's close button sends

# Takes "YES" in the quit alert and waits 10 s for the game to end; RPG_STATUS is its status or "timeout".
quit_yes() {
    key_tap Right; sleep 0.2; key_tap Return
    for _ in $(seq 100); do rpg_running || break; sleep 0.1; done
    if rpg_running; then RPG_STATUS=timeout; kill -KILL "$RPG_PID" 2>/dev/null; wait "$RPG_PID" 2>/dev/null
    else wait "$RPG_PID"; RPG_STATUS=$?; fi
    RPG_PID=""
    e2e_log "rpg ended: $RPG_STATUS"
}

check() {
    local what=$1
    shift
    E2E_CHECKS=$((E2E_CHECKS + 1))
    if "$@"; then echo "ok   $E2E_CHECKS - $what"; else echo "FAIL $E2E_CHECKS - $what"; E2E_FAILS=$((E2E_FAILS + 1)); fi
}
at_least() { [ "${1:-0}" -ge "$2" ] 2>/dev/null; }
at_most() { [ "${1:-0}" -le "$2" ] 2>/dev/null; }
between() { at_least "$1" "$2" && at_most "$1" "$3"; }
equals() { [ "$1" = "$2" ]; }

# The last run showed no message box but missing-picture warnings (and those of regex $1).
only_picture_warnings() {
    local unexpected
    unexpected=$(grep -v -E "could not be (found|loaded)|^ +\./data/|^\$${1:+|$1}" "$MESSAGE_LOG")
    [ -z "$unexpected" ] || { printf 'unexpected message boxes:\n%s\n' "$unexpected"; return 1; }
}
no_sanitizer_reports() { ! grep -l -E "ERROR: (Address|Leak)Sanitizer|runtime error:" "$E2E_DIR"/run.*/stderr.log 2>/dev/null; }

e2e_finish() {
    [ -s "$MESSAGE_LOG" ] && { echo "message boxes shown:"; sed 's/^/  | /' "$MESSAGE_LOG"; }
    echo "$((E2E_CHECKS - E2E_FAILS)) of $E2E_CHECKS checks passed"
    [ "$E2E_FAILS" -eq 0 ] || { E2E_KEEP=1; exit 1; }
    exit 0
}
