// What the drawing benchmarks share: a memory screen with the game's two pages, and a tile sheet shaped like the real art.
#pragma once

#include <allegro.h>

#include "CDisplay.h"

// A memory screen and the two pages (bench_main.cpp has brought the library up).
inline void ensure_pages() {
    if (!screen) screen = create_bitmap_ex(16, 640, 480);
    if (!Display.GetSurface()) Display.CreatePages(640, 480);
}

// A sheet of 16 x 16 cells of 16 pixels, every one with a masked hole like the real overlays and
// sprites; made once and shared as tileset, spriteset and sprite.
inline BITMAP* bench_sheet() {
    static BITMAP* set = nullptr;
    if (set) return set;
    set = create_bitmap_ex(16, 256, 256);
    for (int i = 0; i < 256; ++i) {
        int x = (i % 16) * 16, y = (i / 16) * 16;
        rectfill(set, x, y, x + 15, y + 15, makecol16(i, 255 - i, 90));
        rectfill(set, x + 4, y + 4, x + 11, y + 11, makecol16(255, 0, 255));
    }
    return set;
}
