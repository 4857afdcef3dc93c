// Drawing shared by the status menu and the shops: text lines, pictures of menu_art, the cursor and item icons.
#pragma once

#include <allegro.h>

#include "GameState.h"

// Side of one item-type icon in "./data/items.bmp", a row of them by type.
constexpr int ITEM_ICON = 8;

// printf-style text in the library's font on a transparent background. Called by the menu pages.
void menu_text(BITMAP* page, int x, int y, int colour, const char* fmt, ...) __attribute__((format(printf, 5, 6)));
// Draws a menu picture at (x, y), masked (its pink shows what lies below) or copied whole. A
// picture that could not be loaded is drawn as a plain parchment panel of its usual size w x h,
// so the words written on it stay readable. Called by the status menu and the shops.
void draw_picture(BITMAP* page, BITMAP* picture, int x, int y, int w, int h, bool masked = true);
// The menu cursor (the selector picture stretched to 9 x 9) with its top-left at (x, y).
void draw_cursor(BITMAP* page, int x, int y);
// The 8 x 8 icon of an item type at (x, y); nothing for a type the icon row has no picture for.
void draw_item_icon(BITMAP* page, int type, int x, int y);
