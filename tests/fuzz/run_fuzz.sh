#!/bin/bash
# Runs every fuzz target of a fuzz build for its time budget. Usage: run_fuzz.sh BUILD_DIR
# Seeds: tests/fuzz/corpus/<target>/ (read only; new inputs go to a temp copy).
# Budget: seconds in tests/fuzz/<target>.seconds, else $FUZZ_SECONDS, else 10.
# Exit status 1 if any target crashed or found a fault (the reproducer is copied to BUILD_DIR/fuzz-findings/).
set -u
build=$(cd "${1:?usage: run_fuzz.sh BUILD_DIR}" && pwd) || exit 1
here=$(cd "$(dirname "$0")" && pwd)
fails=0 ran=0
shopt -s nullglob
for src in "$here"/fuzz_*.cpp; do
    name=$(basename "$src" .cpp)
    exe="$build/tests/fuzz/$name"
    if [ ! -x "$exe" ]; then
        echo "fuzz $name: FAIL (not built: $exe)"
        fails=$((fails + 1))
        continue
    fi
    secs=${FUZZ_SECONDS:-10}
    [ -f "$here/$name.seconds" ] && secs=$(tr -dc 0-9 <"$here/$name.seconds")
    [ -n "$secs" ] || secs=10
    work=$(mktemp -d /tmp/rpg_fuzz.XXXXXX)
    mkdir -p "$work/corpus" "$build/fuzz-findings"
    seeds=()
    [ -d "$here/corpus/$name" ] && seeds=("$here/corpus/$name")
    echo "fuzz $name: ${secs}s"
    if (cd "$work" && "$exe" -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
            "$work/corpus" "${seeds[@]}" >"$work/log" 2>&1); then
        echo "fuzz $name: ok ($(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/log" | grep -o '[0-9]*$') runs)"
    else
        echo "fuzz $name: FAIL"
        tail -n 40 "$work/log"
        cp "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* "$build/fuzz-findings/" 2>/dev/null
        fails=$((fails + 1))
    fi
    ran=$((ran + 1))
    rm -rf "$work"
done
echo "fuzz: $ran target(s) run, $fails failed"
[ "$fails" -eq 0 ]
