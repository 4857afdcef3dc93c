// Additive rectangle fill: adds a colour with saturation to a rectangle of a 15-, 16- or 32-bit bitmap.
#pragma once

#include <allegro.h>

// Adds color scaled by fact (0..255) to every pixel of the rectangle, clipped to the bitmap.
void blend_rect_add(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);
