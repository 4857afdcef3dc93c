// The real game as a child process for the benchmarks: a working folder, starting it, and watching its window through X.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <set>
#include <string>

// A throw-away working folder for the game with a data/ folder (empty, or a link to the
// build's data when `full_data`) and a stub xmessage first on PATH that answers every message
// box at once. Removed with its contents at the end.
class GameFolder {
public:
    explicit GameFolder(bool full_data);
    ~GameFolder();
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    bool ok() const { return ok_; }
    // Starts build/rpg in the folder (its output thrown away unless RPG_BENCH_STDERR is set).
    pid_t Start() const;

private:
    std::string dir_, path_;
    bool ok_ = false;
};

// Top-level windows of the display named "RPG".
std::set<Window> rpg_windows(Display* dpy);
// Whether the field's red status line shows in the window's top-left corner.
bool shows_status_line(Display* dpy, Window w);
// Waits up to `seconds` for some RPG window to show the status line; false if none did.
bool wait_for_field(Display* dpy, double seconds);
// Whether the window shows the title picture (the splash): most of a band across its lower half lit.
bool shows_title(Display* dpy, Window w);
// Waits up to `seconds` for some RPG window to show the title picture; false if none did.
bool wait_for_title(Display* dpy, double seconds);
// Brings the game from its start to the field as a player does: SPACE (held 80 ms, with
// xdotool) every 300 ms, which chooses "new game" once the start menu is up and answers the
// opening scene's boxes and cards, until the status line shows twice in a row; false after
// `seconds` or when xdotool cannot be run.
bool reach_field(Display* dpy, double seconds);
// Waits (up to 2 s) until no RPG window is left on the display; false if one stays.
bool wait_for_no_window(Display* dpy);
// Ends the child process (if it is still running) and reaps it.
void stop_game(pid_t pid);
// Opens the X display with a handler that ignores errors from windows vanishing while looked at.
Display* open_bench_display();
