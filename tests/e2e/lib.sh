#!/bin/bash
# Shared functions of the end-to-end tests: the real rpg binary under Xvfb, driven by xdotool.
# Every wait is bounded; the exit trap kills the game and Xvfb (by their own pids only).

set -u

E2E_FAILS=0
E2E_CHECKS=0
RPG_PID=""
XVFB_PID=""
WID=""
RPG_STATUS=""

e2e_log() { echo "[e2e $(date +%H:%M:%S.%N | cut -c1-12)] $*"; }

e2e_cleanup() {
    [ -n "$RPG_PID" ] && kill -KILL "$RPG_PID" 2>/dev/null && wait "$RPG_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    if [ "${E2E_KEEP:-0}" = 1 ]; then
        echo "e2e files kept in $E2E_DIR"
    else
        rm -rf "$E2E_DIR"
    fi
}

# Temp dir, stub xmessage first on PATH, Xvfb on a free display.
e2e_setup() {
    : "${RPG_BIN:?set RPG_BIN to the rpg binary}"
    RPG_BIN=$(readlink -f "$RPG_BIN")
    [ -n "${RPG_XCLOSE:-}" ] && RPG_XCLOSE=$(readlink -f "$RPG_XCLOSE")
    [ -n "${RPG_DATA:-}" ] && RPG_DATA=$(readlink -f "$RPG_DATA")
    E2E_DIR=$(mktemp -d /tmp/rpg_e2e.XXXXXX)
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM

    # The library shows message boxes with xmessage, which waits for a click: the stub logs
    # the text and answers at once with the OK button's code.
    mkdir -p "$E2E_DIR/bin"
    MESSAGE_LOG="$E2E_DIR/messages.log"
    : >"$MESSAGE_LOG"
    cat >"$E2E_DIR/bin/xmessage" <<EOF
#!/bin/sh
# Test stand-in for xmessage: record the text, never wait.
for a in "\$@"; do last="\$a"; done
printf '%s\n' "\$last" >>"$MESSAGE_LOG"
exit 101
EOF
    chmod +x "$E2E_DIR/bin/xmessage"
    export PATH="$E2E_DIR/bin:$PATH"

    # A random high display (-displayfd says when it is ready); one in use makes Xvfb stop: try another.
    local n
    for _ in $(seq 20); do
        n=$((RANDOM % 800 + 120))
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        : >"$E2E_DIR/display"
        Xvfb ":$n" -displayfd 7 -screen 0 800x600x24 -nolisten tcp 7>"$E2E_DIR/display" 2>"$E2E_DIR/xvfb.log" &
        XVFB_PID=$!
        for _ in $(seq 100); do
            [ -s "$E2E_DIR/display" ] && break
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        [ -s "$E2E_DIR/display" ] && break
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
        XVFB_PID=""
    done
    if ! [ -s "$E2E_DIR/display" ]; then
        echo "Xvfb did not start:"; cat "$E2E_DIR/xvfb.log"; exit 1
    fi
    DISPLAY=":$(tr -d '\n' <"$E2E_DIR/display")"
    export DISPLAY
    e2e_log "Xvfb on $DISPLAY"
}

# e2e_own_data <<'EOF' PYTHON EOF: a data folder of the build's pictures, sounds and lists (no
# maps) plus the maps the Python code writes as OUT + "/NAME.tmx" with tmx() (tests/e2e/tmx.py),
# built with rpgtool; RPG_DATA then names it. A test replaces a list by removing its link first.
e2e_own_data() {
    : "${RPG_TOOL:?set RPG_TOOL to the rpgtool binary}"
    [ -e "${RPG_DATA:-}/tiles.bmp" ] || { echo "no built content in RPG_DATA (${RPG_DATA:-unset})"; exit 1; }
    local data=$E2E_DIR/data f
    mkdir -p "$data"
    for f in "$RPG_DATA"/*; do
        case $f in *.map | *.MAP) ;; *) ln -s "$(readlink -f "$f")" "$data/" ;; esac
    done
    { echo "import sys; from tmx import tmx, PICTURES; OUT = sys.argv[1]"; cat; } |
        PYTHONPATH=$(dirname "${BASH_SOURCE[0]}") python3 - "$E2E_DIR" || exit 1
    for f in "$E2E_DIR"/*.tmx; do
        "$RPG_TOOL" map build "$f" "$data/$(basename "$f" .tmx).map" || { echo "cannot build the test map $f"; exit 1; }
    done
    RPG_DATA=$data
}

# Starts the game in a fresh working dir with data/ "full" (the build's), "empty" or "none";
# "again" starts it once more in the last run's working dir, as it was left (its saved game too).
rpg_start() {
    local mode=${1:-full}
    if [ "$mode" != again ] || [ -z "${RUN_DIR:-}" ]; then
        RUN_DIR="$E2E_DIR/run.$RANDOM"
        mkdir -p "$RUN_DIR"
    fi
    if [ "$mode" = again ]; then
        :
    elif [ "$mode" = full ] && [ -n "${RPG_DATA:-}" ] && [ -d "$RPG_DATA" ]; then
        ln -s "$RPG_DATA" "$RUN_DIR/data"
    elif [ "$mode" != none ]; then
        mkdir "$RUN_DIR/data"
    fi
    : >"$MESSAGE_LOG"
    # The last game's window must be gone, or the search below could find it (even by the same id).
    for _ in $(seq 50); do
        [ -z "$(xdotool search --name '^RPG$' 2>/dev/null)" ] && break
        sleep 0.1
    done
    (cd "$RUN_DIR" && exec "$RPG_BIN") >"$RUN_DIR/stdout.log" 2>"$RUN_DIR/stderr.log" &
    RPG_PID=$!
    RPG_STATUS=""
    WID=""
    e2e_log "rpg started ($mode data), pid $RPG_PID"
}

# Where the grey inside of a dialogue box, the field's red status line and the quit alert stand.
BOX_INSIDE="20 415 600 55"
STATUS_BOX="0 0 80 8"
ALERT_BOX="200 212 240 50"

rpg_running() { [ -n "$RPG_PID" ] && kill -0 "$RPG_PID" 2>/dev/null; }

# Waits (up to $1 seconds, default 20) for the game's window "RPG"; sets WID and focuses it.
rpg_wait_window() {
    local limit=${1:-20}
    for _ in $(seq $((limit * 10))); do
        WID=$(xdotool search --name '^RPG$' 2>/dev/null | head -n1)
        [ -n "$WID" ] || ! rpg_running && break
        sleep 0.1
    done
    if [ -z "$WID" ]; then
        e2e_log "no RPG window (game state $(awk '{print $3}' "/proc/$RPG_PID/stat" 2>/dev/null)); its output:"
        grep -v '^ALSA' "$RUN_DIR/stderr.log" "$RUN_DIR/stdout.log" | tail -n 20
        return 1
    fi
    timeout 5 xdotool windowfocus --sync "$WID" 2>/dev/null || timeout 5 xdotool windowfocus "$WID"
    sleep 0.5  # the first frames
    e2e_log "window $WID"
}

# Waits for the start menu: the splash is gone (nothing lit below the four entries) and the
# credit line shows at the bottom (it is there even without data/).
rpg_wait_menu() {
    wait_pixels menu 0 280 640 180 lit 0 100 12 && wait_pixels menu 0 470 320 8 white 50 99999 4
}

# From the game's first screen to the field: "new game" in the start menu, then the opening scene answered.
rpg_to_field() {
    rpg_wait_menu || { e2e_log "rpg_to_field: no start menu"; return 1; }
    key_tap space 100
    rpg_answer_until_field
}

# SPACE for every box and title card of a scene until the field's red status line shows, twice
# in a row, with no dialogue box up (a scene's own frames have no red text at the top left).
# The last screenshot is to_field.png.
rpg_answer_until_field() {
    local seen=0 red panel
    for _ in $(seq 90); do
        shot to_field || return 1
        red=$(count_pixels to_field.png 0 0 80 8 red)
        panel=$(count_pixels to_field.png 20 415 600 55 panel)
        if [ "${red:-0}" -ge 20 ] && [ "${red:-0}" -le 400 ] && [ "${panel:-0}" -lt 16000 ]; then
            seen=$((seen + 1))
            [ "$seen" -ge 2 ] && return 0
        else
            seen=0
            key_tap space 100
        fi
        rpg_running || return 1
        sleep 0.3
    done
    e2e_log "rpg_answer_until_field: the field did not show"
    return 1
}

# Holds a key for $2 ms (default 80): the game polls key state each 1/60 s.
key_tap() {
    local k=$1 ms=${2:-80}
    xdotool keydown "$k"
    sleep "$(awk "BEGIN{print $ms/1000}")"
    xdotool keyup "$k"
}

shot() { timeout 10 import -window "$WID" -depth 8 "$E2E_DIR/$1.png"; }

# Number of pixels in the box (X Y W H) of a screenshot that are of a colour class:
# red (the status line), white (the alert box), lit (anything not black), panel (the dialogue
# box's grey, 192 192 192, which the 16-bit game shows as about 198 194 198), dark (its words).
count_pixels() {
    local f=$1 x=$2 y=$3 w=$4 h=$5 cls=$6 expr
    case $cls in
        red) expr='(r>0.85&&g<0.2&&b<0.2)?1:0' ;;
        white) expr='(r>0.9&&g>0.9&&b>0.9)?1:0' ;;
        lit) expr='(r+g+b>0.1)?1:0' ;;
        panel) expr='(abs(r-0.76)<0.035&&abs(g-0.76)<0.035&&abs(b-0.76)<0.035)?1:0' ;;
        dark) expr='(r+g+b<0.3)?1:0' ;;
        *) echo "count_pixels: unknown class $cls" >&2; return 2 ;;
    esac
    convert "$E2E_DIR/$f" -crop "${w}x${h}+${x}+${y}" +repage -fx "$expr" -format '%[fx:int(mean*w*h+.5)]' info:
}

# wait_pixels NAME X Y W H CLASS MIN [MAX] [SECONDS]: screenshots until the box holds MIN..MAX
# pixels of the class; false after SECONDS (default 8).
wait_pixels() {
    local name=$1 x=$2 y=$3 w=$4 h=$5 cls=$6 min=$7 max=${8:-999999999} limit=${9:-8} n
    for _ in $(seq $((limit * 4))); do
        if shot "$name"; then
            n=$(count_pixels "$name.png" "$x" "$y" "$w" "$h" "$cls")
            [ "${n:-0}" -ge "$min" ] && [ "${n:-0}" -le "$max" ] && return 0
        fi
        rpg_running || return 1
        sleep 0.25
    done
    e2e_log "wait_pixels $name: $cls pixels in ${w}x${h}+$x+$y: ${n:-none}, wanted $min..$max"
    return 1
}

# Waits for a screen, screenshot NAME: a dialogue box up or gone, the quit alert up or gone, the field.
box_up() { wait_pixels "$1" $BOX_INSIDE panel 26000 999999 "${2:-8}"; }
box_gone() { wait_pixels "$1" $BOX_INSIDE panel 0 16000; }
alert_up() { wait_pixels "$1" $ALERT_BOX white 6000; }
alert_gone() { wait_pixels "$1" $ALERT_BOX white 0 3000; }
field_up() { wait_pixels "$1" $STATUS_BOX red 20 400 "${2:-8}"; }

rpg_close_button() { "$RPG_XCLOSE" "$WID"; }  # what the window manager's close button sends

# Waits up to $1 seconds (default 10) for the game to end; sets RPG_STATUS ("timeout" if it did not).
rpg_wait_exit() {
    local limit=${1:-10}
    for _ in $(seq $((limit * 10))); do
        rpg_running || break
        sleep 0.1
    done
    if rpg_running; then
        RPG_STATUS=timeout
        kill -KILL "$RPG_PID" 2>/dev/null
        wait "$RPG_PID" 2>/dev/null
    else
        wait "$RPG_PID"
        RPG_STATUS=$?
    fi
    RPG_PID=""
    e2e_log "rpg ended: $RPG_STATUS"
}

# Moves the quit alert to "YES", takes it and waits for the game to end.
quit_yes() {
    key_tap Right
    sleep 0.2
    key_tap Return
    rpg_wait_exit 10
}

check() {
    local what=$1
    shift
    E2E_CHECKS=$((E2E_CHECKS + 1))
    if "$@"; then
        echo "ok   $E2E_CHECKS - $what"
    else
        echo "FAIL $E2E_CHECKS - $what"
        E2E_FAILS=$((E2E_FAILS + 1))
    fi
}

at_least() { [ "${1:-0}" -ge "$2" ] 2>/dev/null; }
at_most() { [ "${1:-0}" -le "$2" ] 2>/dev/null; }
equals() { [ "$1" = "$2" ]; }

# The last run showed no message box but missing-picture warnings (and those of regex $1).
only_picture_warnings() {
    local unexpected
    unexpected=$(grep -v -E "could not be (found|loaded)|^ +\./data/|^\$${1:+|$1}" "$MESSAGE_LOG")
    [ -z "$unexpected" ] || { printf 'unexpected message boxes:\n%s\n' "$unexpected"; return 1; }
}

no_sanitizer_reports() {
    ! grep -l -E "ERROR: (Address|Leak)Sanitizer|runtime error:" "$E2E_DIR"/run.*/stderr.log 2>/dev/null
}

e2e_finish() {
    if [ -s "$MESSAGE_LOG" ]; then
        echo "message boxes shown:"; sed 's/^/  | /' "$MESSAGE_LOG"
    fi
    echo "$((E2E_CHECKS - E2E_FAILS)) of $E2E_CHECKS checks passed"
    if [ "$E2E_FAILS" -ne 0 ]; then
        E2E_KEEP=1
        exit 1
    fi
    exit 0
}
