// Drawing shared by the status menu and the shops: text lines, pictures of menu_art, the cursor and item icons.
#pragma once

#include <allegro.h>

#include "CPlayer.h"
#include "GameState.h"

// Side of one item-type icon in "./data/items.bmp", a row of them by type.
constexpr int ITEM_ICON = 8;
// Width of every character of the library's default font, in which the menus write.
constexpr int FONT_CHAR_W = 8;
// Width of the frame round the menu panels (shop.bmp, choice.bmp): text must stay inside it.
constexpr int PANEL_FRAME_W = 6;
// The equipment lines of the status menu and the shops, by slot ("Head: %s" to "Weapon: %s").
extern const char* const EQUIP_LABELS[EQUIP_SLOTS];
// Characters a line may have from x up to the panel edge right_edge (the first pixel it must not touch).
inline int chars_before(int x, int right_edge) { return right_edge > x ? (right_edge - x) / FONT_CHAR_W : 0; }

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
