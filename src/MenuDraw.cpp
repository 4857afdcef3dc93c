// Drawing shared by the status menu and the shops.
#include "MenuDraw.h"

#include <cstdarg>
#include <cstdio>

#include "MenuArt.h"

const char* const EQUIP_LABELS[EQUIP_SLOTS] = {"Head: %s", "Arms: %s", "Legs: %s", "Ring: %s", "Weapon: %s"};

namespace {
// The parchment of the menu pictures, for the panel drawn in place of a missing one.
constexpr int PARCHMENT_R = 236, PARCHMENT_G = 224, PARCHMENT_B = 192;
constexpr int CURSOR_SIDE = 9;
}  // namespace

void menu_text(BITMAP* page, int x, int y, int colour, const char* fmt, ...) {
    char line[512];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(line, sizeof line, fmt, ap);
    va_end(ap);
    textout_ex(page, font, line, x, y, colour, -1);
}

void draw_picture(BITMAP* page, BITMAP* picture, int x, int y, int w, int h, bool masked) {
    if (!picture) {
        rectfill(page, x, y, x + w - 1, y + h - 1, makecol(PARCHMENT_R, PARCHMENT_G, PARCHMENT_B));
        return;
    }
    if (masked)
        masked_blit(picture, page, 0, 0, x, y, picture->w, picture->h);
    else
        blit(picture, page, 0, 0, x, y, picture->w, picture->h);
}

void draw_cursor(BITMAP* page, int x, int y) {
    BITMAP* sel = menu_art.selector;
    if (sel) masked_stretch_blit(sel, page, 0, 0, sel->w, sel->h, x, y, CURSOR_SIDE, CURSOR_SIDE);
}

void draw_item_icon(BITMAP* page, int type, int x, int y) {
    BITMAP* icons = menu_art.item_icons;
    // Types come from the item list; one past the row would read beside the picture.
    if (!icons || type < 0 || (type + 1) * ITEM_ICON > icons->w || icons->h < ITEM_ICON) return;
    masked_blit(icons, page, type * ITEM_ICON, 0, x, y, ITEM_ICON, ITEM_ICON);
}
