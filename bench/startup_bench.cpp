// Start-up time of the real game: from starting the rpg process to its title picture on screen.
//
// Each run starts build/rpg in a fresh working directory on the build's data/ (so start-up reads
// every picture, list and song it loads for the run) and watches the window through X until the
// splash shows the title picture. Needs an X display: run under `xvfb-run -a ./bench/rpg_bench`
// (./dev.sh bench does); without DISPLAY it is skipped.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>

#include "GameProcess.h"

namespace {

void BM_StartupToTitle(benchmark::State& state) {
    Display* dpy = getenv("DISPLAY") ? open_bench_display() : nullptr;
    if (!dpy) {
        state.SkipWithError("needs an X display: run under xvfb-run");
        return;
    }
    GameFolder folder(true);
    if (!folder.ok()) {
        state.SkipWithError("cannot make the working dir");
        XCloseDisplay(dpy);
        return;
    }
    for (auto _ : state) {
        if (!wait_for_no_window(dpy)) {
            state.SkipWithError("another window named RPG is on this display");
            break;
        }
        const auto t0 = std::chrono::steady_clock::now();
        const pid_t pid = folder.Start();
        const bool seen = wait_for_title(dpy, 10);
        const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        stop_game(pid);
        if (!seen) {
            state.SkipWithError("no title picture within 10 s");
            break;
        }
        state.SetIterationTime(secs);
    }
    XCloseDisplay(dpy);
}

}  // namespace

BENCHMARK(BM_StartupToTitle)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
