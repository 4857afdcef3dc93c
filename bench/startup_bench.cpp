// Start-up time of the real game: from starting the rpg process to its first field frame on screen.
//
// Each run starts build/rpg in a fresh working directory whose data/ is empty (a stub xmessage
// answers the "files could not be loaded" message at once) and watches the window through X
// until the red status line of the first field frame shows at its top left. Needs an X display:
// run under `xvfb-run -a ./bench/rpg_bench` (./dev.sh bench does); without DISPLAY it is skipped.
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>

namespace {

// Top-level windows of the display named "RPG".
std::set<Window> rpg_windows(Display* dpy) {
    std::set<Window> found;
    Window root_ret, parent;
    Window* kids = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(dpy, DefaultRootWindow(dpy), &root_ret, &parent, &kids, &n)) return found;
    for (unsigned int i = 0; i < n; ++i) {
        char* name = nullptr;
        if (XFetchName(dpy, kids[i], &name) && name) {
            if (std::string(name) == "RPG") found.insert(kids[i]);
            XFree(name);
        }
    }
    if (kids) XFree(kids);
    return found;
}

// Whether the status line's red text shows in the window's top-left corner.
bool shows_status_line(Display* dpy, Window w) {
    XWindowAttributes wa;
    if (!XGetWindowAttributes(dpy, w, &wa) || wa.map_state != IsViewable) return false;
    XImage* img = XGetImage(dpy, w, 0, 0, 64, 8, AllPlanes, ZPixmap);
    if (!img) return false;
    int red = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 64; ++x) {
            unsigned long p = XGetPixel(img, x, y);
            bool r = (p & img->red_mask) == img->red_mask;
            bool g = (p & img->green_mask) == 0;
            bool b = (p & img->blue_mask) == 0;
            if (r && g && b) ++red;
        }
    XDestroyImage(img);
    return red >= 10;
}

int ignore_x_errors(Display*, XErrorEvent*) { return 0; }  // windows may vanish while we look

void BM_StartupToFirstFieldFrame(benchmark::State& state) {
    if (!getenv("DISPLAY")) {
        state.SkipWithError("needs an X display: run under xvfb-run");
        return;
    }
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        state.SkipWithError("cannot open the X display");
        return;
    }
    XSetErrorHandler(ignore_x_errors);

    char dir[] = "/tmp/rpg_bench.XXXXXX";
    if (!mkdtemp(dir)) {
        state.SkipWithError("no temp dir");
        return;
    }
    std::string base = dir;
    std::string cmd = "mkdir -p " + base + "/data " + base + "/bin && printf '#!/bin/sh\\nexit 101\\n' > " + base +
                      "/bin/xmessage && chmod +x " + base + "/bin/xmessage";
    if (system(cmd.c_str()) != 0) {
        state.SkipWithError("cannot make the working dir");
        return;
    }
    std::string path = base + "/bin:" + (getenv("PATH") ? getenv("PATH") : "/usr/bin:/bin");

    for (auto _ : state) {
        // The last run's window must be gone: the server may give the new game the same window id.
        for (int i = 0; i < 400 && !rpg_windows(dpy).empty(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (!rpg_windows(dpy).empty()) {
            state.SkipWithError("another window named RPG is on this display");
            break;
        }
        auto t0 = std::chrono::steady_clock::now();
        pid_t pid = fork();
        if (pid == 0) {
            if (chdir(base.c_str()) != 0) _exit(127);
            setenv("PATH", path.c_str(), 1);
            int null_fd = open("/dev/null", O_WRONLY);
            if (null_fd >= 0) {
                dup2(null_fd, 1);
                if (!getenv("RPG_BENCH_STDERR")) dup2(null_fd, 2);
            }
            execl(RPG_BIN_PATH, "rpg", (char*)nullptr);
            _exit(127);
        }
        bool seen = false;
        double secs = 0;
        while (!seen) {
            secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            if (secs > 10) break;
            for (Window w : rpg_windows(dpy))
                if (shows_status_line(dpy, w)) seen = true;
            if (!seen) std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        bool ended = waitpid(pid, nullptr, WNOHANG) == pid;
        if (!ended) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (!seen) {
            state.SkipWithError(ended ? "the game ended before its first field frame"
                                      : "no field frame within 10 s");
            break;
        }
        state.SetIterationTime(secs);
    }
    XCloseDisplay(dpy);
    system(("rm -rf " + base).c_str());
}

}  // namespace

BENCHMARK(BM_StartupToFirstFieldFrame)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
