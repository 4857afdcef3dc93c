// Translucent rectangle fill: mixes a colour into a rectangle of a 15-, 16- or 32-bit bitmap.
#pragma once

#include <allegro.h>

// Fills the rectangle with color at strength fact (0..255), clipped to the bitmap.
void blend_rect_trans(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);
