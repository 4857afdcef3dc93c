// The display: brings the library up and owns the two drawing pages.
#pragma once

#include <allegro.h>

#include "GameState.h"

// The game's screen: 640 x 480 pixels at 16 bits per pixel.
constexpr int GAME_W = 640;
constexpr int GAME_H = 480;
constexpr int GAME_DEPTH = 16;

// Invariant: after CreateWindows, vscreen[2] is vscreen[0] or vscreen[1].
class CDisplay {
public:
    BITMAP* vscreen[3] = {nullptr, nullptr, nullptr};  // two owned pages and the current one
    int cur_page = 0;                                  // selects the first current page

    // Brings the library up (keyboard, timer, mouse, sound, graphics mode) and makes the pages. Called once by GameMain.
    void CreateWindows(unsigned short width, unsigned short height, unsigned char depth, bool windowed);
    // Makes the two pages only, for a screen that already exists (tests and tools). Called by CreateWindows.
    void CreatePages(int width, int height);
    // The page to draw on this frame. Called by every screen.
    BITMAP* GetSurface();
    // Copies the page to the screen, clears it and makes the other page current. Called by the field loop.
    void ShowPage();
    // Copies the page to the screen and clears it, keeping the same page. Called by the other screens.
    void ShowPageKeep();
    // Destroys the pages, closes the library and ends the process with status 0; never returns.
    [[noreturn]] void Shutdown();
};

// Loads an image; on failure shows "Error: %s could not be found." and returns null.
BITMAP* safe_load_bitmap(const char* filename, RGB* pal);

// Width of the visible screen bitmap (0 before there is one). Used instead of SCREEN_W so that
// tests can draw with a memory bitmap standing in for the screen.
int screen_w();
// Height of the visible screen bitmap (0 before there is one).
int screen_h();
