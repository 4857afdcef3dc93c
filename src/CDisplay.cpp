// The display: library start-up, the two drawing pages and the end of the process.
#include "CDisplay.h"

#include "Host.h"
#include "Sound.h"

#include <cstdio>
#include <unistd.h>
#include <cstdlib>

CDisplay Display;

void CDisplay::CreateWindows(unsigned short width, unsigned short height, unsigned char depth, [[maybe_unused]] bool windowed) {
    // Without the library or a screen nothing can be shown and the first alert would crash:
    // say why and stop instead of running on blind.
    // Under a busy X server the library's start now and then fails once and works when asked
    // again; only a repeated failure is final.
    int tries = 0;
    while (allegro_init() != 0 && ++tries < 3) {
        fprintf(stderr, "Note: the Allegro library did not start (%s); trying again\n", allegro_error);
        allegro_exit();
        usleep(100000);
    }
    if (tries >= 3) {
        fprintf(stderr, "Error: the Allegro library could not start (is there a display?): %s\n", allegro_error);
        host->Exit(1);
    }
    install_keyboard();
    install_timer();
    install_mouse();
    configure_midi_patches();
    // No sound card is no reason to stop: the game then plays silently.
    install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, nullptr);
    set_color_depth(depth);
    // A window first, whatever windowed asks: a full-screen mode switch under X is unreliable on today's desktops.
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, width, height, 0, 0) != 0 &&
        set_gfx_mode(GFX_AUTODETECT, width, height, 0, 0) != 0) {
        fprintf(stderr, "Error: could not open a %dx%d window or screen: %s\n", width, height, allegro_error);
        host->Exit(1);
    }
    set_window_title("RPG");
    CreatePages(width, height);
}

void CDisplay::CreatePages(int width, int height) {
    cur_page = 0;
    vscreen[0] = create_bitmap(width, height);
    vscreen[1] = create_bitmap(width, height);
    vscreen[2] = vscreen[cur_page];
    if (vscreen[0]) clear_bitmap(vscreen[0]);
    if (vscreen[1]) clear_bitmap(vscreen[1]);
}

BITMAP* CDisplay::GetSurface() { return vscreen[2]; }

void CDisplay::ShowPageKeep() {
    BITMAP* page = GetSurface();
    if (!page) return;
    if (screen) blit(page, screen, 0, 0, 0, 0, screen_w(), screen_h());
    clear_bitmap(page);
}

void CDisplay::ShowPage() {
    ShowPageKeep();
    vscreen[2] = vscreen[2] == vscreen[0] ? vscreen[1] : vscreen[0];
}

void CDisplay::Shutdown() {
    if (vscreen[0]) destroy_bitmap(vscreen[0]);
    // Nothing may draw on the destroyed page (a test host returns here instead of ending).
    if (vscreen[2] == vscreen[0]) vscreen[2] = vscreen[1];
    vscreen[0] = nullptr;
    host->Exit(0);  // the library host closes the library first
    abort();        // not reached: Exit never returns
}

BITMAP* safe_load_bitmap(const char* filename, RGB* pal) {
    BITMAP* bmp = load_bitmap(filename, pal);
    if (!bmp) show_message("Error: %s could not be found.", filename);
    return bmp;
}

int screen_w() { return screen ? screen->w : 0; }

int screen_h() { return screen ? screen->h : 0; }
