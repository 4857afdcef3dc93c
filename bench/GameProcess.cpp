// The real game as a child process for the benchmarks.
#include "GameProcess.h"

#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

GameFolder::GameFolder(bool full_data) {
    char tmpl[] = "/tmp/rpg_bench.XXXXXX";
    if (!mkdtemp(tmpl)) return;
    dir_ = tmpl;
    std::string data = full_data ? "ln -s '" RPG_DATA_PATH "' " + dir_ + "/data" : "mkdir -p " + dir_ + "/data";
    std::string cmd = data + " && mkdir -p " + dir_ + "/bin && printf '#!/bin/sh\\nexit 101\\n' > " + dir_ +
                      "/bin/xmessage && chmod +x " + dir_ + "/bin/xmessage";
    ok_ = system(cmd.c_str()) == 0;
    path_ = dir_ + "/bin:" + (getenv("PATH") ? getenv("PATH") : "/usr/bin:/bin");
}

GameFolder::~GameFolder() {
    if (!dir_.empty()) {
        int rc = system(("rm -rf '" + dir_ + "'").c_str());
        (void)rc;
    }
}

pid_t GameFolder::Start() const {
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir_.c_str()) != 0) _exit(127);
        setenv("PATH", path_.c_str(), 1);
        int null_fd = open("/dev/null", O_WRONLY);
        if (null_fd >= 0) {
            dup2(null_fd, 1);
            if (!getenv("RPG_BENCH_STDERR")) dup2(null_fd, 2);
        }
        execl(RPG_BIN_PATH, "rpg", (char*)nullptr);
        _exit(127);
    }
    return pid;
}

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

bool wait_for_field(Display* dpy, double seconds) {
    const auto t0 = std::chrono::steady_clock::now();
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() < seconds) {
        for (Window w : rpg_windows(dpy))
            if (shows_status_line(dpy, w)) return true;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return false;
}

bool shows_title(Display* dpy, Window w) {
    XWindowAttributes wa;
    if (!XGetWindowAttributes(dpy, w, &wa) || wa.map_state != IsViewable || wa.width < 640 || wa.height < 480)
        return false;
    XImage* img = XGetImage(dpy, w, 0, 300, 640, 64, AllPlanes, ZPixmap);
    if (!img) return false;
    int lit = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 640; ++x) lit += XGetPixel(img, x, y) != 0;
    XDestroyImage(img);
    return lit > 640 * 64 / 2;
}

bool wait_for_title(Display* dpy, double seconds) {
    const auto t0 = std::chrono::steady_clock::now();
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() < seconds) {
        for (Window w : rpg_windows(dpy))
            if (shows_title(dpy, w)) return true;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return false;
}

bool reach_field(Display* dpy, double seconds) {
    const char* tap =
        "xdotool search --name '^RPG$' windowfocus --sync keydown space sleep 0.08 keyup space >/dev/null 2>&1";
    const auto t0 = std::chrono::steady_clock::now();
    int seen = 0;
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() < seconds) {
        bool field = false;
        for (Window w : rpg_windows(dpy)) field = field || shows_status_line(dpy, w);
        if (field && ++seen >= 2) return true;
        if (!field) {
            seen = 0;
            if (system(tap) == 127 << 8) return false;  // no shell or no xdotool
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    return false;
}

bool wait_for_no_window(Display* dpy) {
    // The server may give the next game the same window id as the last one.
    for (int i = 0; i < 400 && !rpg_windows(dpy).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return rpg_windows(dpy).empty();
}

void stop_game(pid_t pid) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

static int ignore_x_errors(Display*, XErrorEvent*) { return 0; }  // windows may vanish while we look

Display* open_bench_display() {
    Display* dpy = XOpenDisplay(nullptr);
    if (dpy) XSetErrorHandler(ignore_x_errors);
    return dpy;
}
