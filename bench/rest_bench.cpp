// The game at rest: processor time the real game takes while the hero stands still in the field,
// and while the start menu waits for a key.
//
// Starts build/rpg with the build's data/ (the home map, its villagers wandering, the music
// playing if there is a sound device) in a fresh working directory, presses SPACE through the
// start menu ("new game") and the opening scene until the field shows, lets it settle, then reads the process's own CPU time from /proc over 10 seconds of
// wall time. Reports the share of one core (goal: under 10 %) as `cpu_percent`; the time column
// is the CPU time used in those 10 seconds. Needs an X display, like the start-up benchmark.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "GameProcess.h"

namespace {

// User plus system time of a process in seconds, from /proc/PID/stat; negative if unreadable.
double cpu_seconds(pid_t pid) {
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/stat", (int)pid);
    FILE* f = fopen(path, "r");
    if (!f) return -1;
    char buf[1024];
    size_t n = fread(buf, 1, sizeof buf - 1, f);
    fclose(f);
    buf[n] = 0;
    // Fields 14 and 15 (utime, stime) follow the command name, which is in parentheses.
    const char* p = strrchr(buf, ')');
    unsigned long utime = 0, stime = 0;
    if (!p || sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime) != 2) return -1;
    return (double)(utime + stime) / (double)sysconf(_SC_CLK_TCK);
}

// Starts the game on the build's data, brings it to the screen to measure with `reach` (true
// once there), lets it settle and reports the share of one core it takes over 10 s.
void measure_at_rest(benchmark::State& state, bool (*reach)(Display*), const char* failure) {
    Display* dpy = getenv("DISPLAY") ? open_bench_display() : nullptr;
    if (!dpy) {
        state.SkipWithError("needs an X display: run under xvfb-run");
        return;
    }
    GameFolder folder(true);
    const double window_s = 10;
    double percent = 0;
    for (auto _ : state) {
        if (!folder.ok() || !wait_for_no_window(dpy)) {
            state.SkipWithError("cannot make the working dir, or another RPG window is up");
            break;
        }
        const pid_t pid = folder.Start();
        if (!reach(dpy)) {
            stop_game(pid);
            state.SkipWithError(failure);
            break;
        }
        std::this_thread::sleep_for(std::chrono::seconds(1));  // loading is over
        const double before = cpu_seconds(pid);
        std::this_thread::sleep_for(std::chrono::duration<double>(window_s));
        const double after = cpu_seconds(pid);
        stop_game(pid);
        if (before < 0 || after < 0) {
            state.SkipWithError("cannot read the game's CPU time");
            break;
        }
        percent = 100 * (after - before) / window_s;
        state.SetIterationTime(after - before);
    }
    state.counters["cpu_percent"] = percent;
    XCloseDisplay(dpy);
}

void BM_FieldAtRest(benchmark::State& state) {
    measure_at_rest(state, [](Display* dpy) { return reach_field(dpy, 40); },
                    "no field frame within 40 s of SPACE presses (is xdotool installed?)");
}

// The start menu waiting for a key: the splash's two seconds are over once the title picture
// has shown and three more seconds have passed.
void BM_StartMenuAtRest(benchmark::State& state) {
    measure_at_rest(state,
                    [](Display* dpy) {
                        if (!wait_for_title(dpy, 10)) return false;
                        std::this_thread::sleep_for(std::chrono::seconds(2));
                        return true;
                    },
                    "no title picture within 10 s");
}

}  // namespace

BENCHMARK(BM_FieldAtRest)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartMenuAtRest)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
