#!/bin/bash
# Sets up a Debian machine for the game, builds it, and plays it or runs every test.
#
#   sudo ./dev.sh play    install what is missing, configure, build, start the game (needs an X display)
#   sudo ./dev.sh test    install what is missing, then: release build + all tests (unit and end-to-end),
#                         AddressSanitizer/UBSan build + all tests, clang libFuzzer build + every fuzz target
#   sudo ./dev.sh bench   install what is missing, release build, run the benchmarks under Xvfb
#
# Non-interactive and safe to run again: packages already installed are not touched and the
# build directories are reused. Root is only needed for apt-get; when run through sudo the
# builds and the game run as the calling user, so the build directories stay theirs.
# Settings: JOBS (parallel compile jobs, default 2), FUZZ_SECONDS (default budget per fuzz target).
set -uo pipefail

cd "$(dirname "$(readlink -f "$0")")" || exit 1
ROOT=$(pwd)
JOBS=${JOBS:-2}
PACKAGES=(
    cmake make g++ pkg-config clang libclang-rt-dev
    liballegro4-dev libx11-dev libgtest-dev libbenchmark-dev libtinyxml2-dev nlohmann-json3-dev zlib1g-dev
    xvfb xauth xdotool x11-utils imagemagick freepats python3 tiled
)

say() { echo "== $*"; }

# Runs a command as the user who called sudo (or as ourselves when not under sudo).
as_user() {
    if [ "$(id -u)" = 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
        sudo -u "$SUDO_USER" -H env PATH="$PATH" DISPLAY="${DISPLAY:-}" XAUTHORITY="${XAUTHORITY:-}" \
            JOBS="$JOBS" FUZZ_SECONDS="${FUZZ_SECONDS:-}" "$@"
    else
        "$@"
    fi
}

install_packages() {
    local missing=() p
    for p in "${PACKAGES[@]}"; do
        dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
    done
    if [ ${#missing[@]} -eq 0 ]; then
        say "packages: all installed"
        return 0
    fi
    say "packages: installing ${missing[*]}"
    local SUDO=""
    if [ "$(id -u)" != 0 ]; then
        command -v sudo >/dev/null || { echo "run as root or with sudo to install: ${missing[*]}"; return 1; }
        SUDO="sudo"
    fi
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -q || return 1
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" || return 1
}

# configure_build DIR [cmake options...]: configures (once) and builds DIR.
configure_build() {
    local dir=$1
    shift
    say "build $dir $*"
    as_user mkdir -p "$ROOT/$dir"
    as_user cmake -S "$ROOT" -B "$ROOT/$dir" "$@" >"$ROOT/$dir/configure.log" 2>&1 ||
        { cat "$ROOT/$dir/configure.log"; return 1; }
    as_user cmake --build "$ROOT/$dir" -j "$JOBS" >"$ROOT/$dir/build.log" 2>&1 ||
        { grep -E -A5 "error|Error" "$ROOT/$dir/build.log" | head -60; echo "(full log: $ROOT/$dir/build.log)"; return 1; }
}

# run_ctest DIR: all tests of a build; prints ctest's summary lines.
run_ctest() {
    local dir=$1 log rc
    log="$ROOT/$dir/ctest.log"
    say "tests in $dir"
    (cd "$ROOT/$dir" && as_user ctest --output-on-failure -j "$JOBS" --timeout 600) >"$log" 2>&1
    rc=$?
    grep -E "tests passed|tests failed|^[[:space:]]*[0-9]+ - |Label Time|^(e2e|unit|tool|playthrough)[[:space:]]*=|Total Test time" "$log"
    [ $rc -eq 0 ] || { grep -E "\*\*\*Failed|Failed  |Timeout|\*\*\*Exception" "$log" | head -40; echo "(full log: $log)"; }
    return $rc
}

cmd_play() {
    install_packages || exit 1
    configure_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo || exit 1
    if [ -z "${DISPLAY:-}" ]; then
        echo "The game is built (build/rpg) but needs an X display to run: set DISPLAY."
        exit 1
    fi
    say "play"
    cd "$ROOT/build" && as_user ./rpg
}

cmd_test() {
    local failed=()
    install_packages || exit 1

    if configure_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo; then
        run_ctest build || failed+=("release tests")
    else
        failed+=("release build")
    fi

    # The sanitizers run on every test, end-to-end ones included (the game binary is instrumented too).
    export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1}
    export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
    export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$ROOT/tests/lsan.supp:print_suppressions=0}
    if configure_build build-asan -DCMAKE_BUILD_TYPE=Debug -DRPG_SANITIZE=ON -DRPG_BENCH=OFF; then
        run_ctest build-asan || failed+=("sanitizer tests")
    else
        failed+=("sanitizer build")
    fi

    if CC=clang CXX=clang++ configure_build build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRPG_FUZZ=ON \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++; then
        say "fuzzing"
        as_user bash "$ROOT/tests/fuzz/run_fuzz.sh" "$ROOT/build-fuzz" || failed+=("fuzzing")
    else
        failed+=("fuzz build")
    fi

    if [ ${#failed[@]} -ne 0 ]; then
        say "FAILED: ${failed[*]}"
        exit 1
    fi
    say "all tests passed"
}

cmd_bench() {
    install_packages || exit 1
    configure_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo || exit 1
    say "benchmarks (under Xvfb)"
    cd "$ROOT/build" && as_user xvfb-run -a -s "-screen 0 800x600x24" ./bench/rpg_bench "$@"
}

case "${1:-}" in
    play) cmd_play ;;
    test) cmd_test ;;
    bench) shift; cmd_bench "$@" ;;
    *)
        echo "usage: sudo ./dev.sh play | test | bench"
        exit 2
        ;;
esac
