#!/bin/sh
# Plays a sound and a song with ALSA routed to a file (a test HOME with a file-plugin .asoundrc)
# and checks that what was written is not silence. Exits 77 (skipped) without Xvfb or ALSA.
set -u
CHECK=$1
DATA=$2
command -v xvfb-run >/dev/null 2>&1 || { echo "no xvfb-run"; exit 77; }
command -v python3 >/dev/null 2>&1 || { echo "no python3"; exit 77; }
# Under the leak checker, ALSA's set-up inside the library's install_sound is kept until exit
# (suppressed in tests/lsan.supp); the full unwind lets those suppressions see install_sound.
if [ -n "${ASAN_OPTIONS:-}" ]; then ASAN_OPTIONS="$ASAN_OPTIONS:fast_unwind_on_malloc=0"; export ASAN_OPTIONS; fi
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT

run() {  # kind name
    out="$T/$2.raw"
    cat > "$T/.asoundrc" <<RC
pcm.!default {
  type file
  slave.pcm "null"
  file "$out"
  format "raw"
}
RC
    HOME="$T" timeout 60 xvfb-run -a "$CHECK" "$DATA" "$1" "$2" > "$T/log" 2>&1
    rc=$?
    if [ $rc -eq 77 ]; then cat "$T/log"; exit 77; fi
    if [ $rc -ne 0 ]; then cat "$T/log"; echo "FAIL: $2 did not play (status $rc)"; exit 1; fi
    [ -s "$out" ] || { echo "SKIP: ALSA wrote nothing for $2"; exit 77; }
    # Whatever the sample format the driver chose (here unsigned 16-bit, silence = 32768),
    # silence is the value heard most; a played sound must swing clearly away from it.
    python3 - "$out" "$2" <<'PY' || exit 1
import array, collections, sys
data = open(sys.argv[1], "rb").read()
a = array.array("H", data[: len(data) // 2 * 2])
if not a:
    sys.exit(1)
rest = collections.Counter(a).most_common(1)[0][0]
swing = [abs(v - rest) for v in a]
loud = sum(1 for v in swing if v > 300)
print("%s: %d samples, silence at %d, peak swing %d, %d loud samples" % (sys.argv[2], len(a), rest, max(swing), loud))
sys.exit(0 if max(swing) > 1000 and loud > 500 else 1)
PY
}

run wav confirm.wav
run wav coinchime.wav
run midi knightsrevenge.mid
run midi tribalbeat.mid
echo "sound reaches the output"
