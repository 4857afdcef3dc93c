// Additive rectangle fill: adds a colour with saturation to a rectangle of a 15-, 16- or 32-bit bitmap.
#pragma once

#include <allegro.h>

// Adds color (a pixel value of the bitmap's depth) scaled by fact (0..255) to every pixel of the
// rectangle, clipped to the bitmap's full size; other depths are left alone. A glow effect; no
// caller in play yet.
void blend_rect_add(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);

// Per-depth workers, called by blend_rect_add between acquire and release; tests and benches
// call them directly. fact is already converted: 0..32 of 32 at 15/16 bits, 0..256 of 256 at
// 32 bits. They clip to the bitmap themselves and never touch pixels outside the rectangle.
void blend_rect_add_15(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);
void blend_rect_add_16(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);
void blend_rect_add_32(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);

// SIMD variants of the workers, same arguments and exactly the same pixels; call them only when
// blend_impl_available says the processor has the instructions.
void blend_rect_add_sse2_15(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);
void blend_rect_add_sse2_16(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);
void blend_rect_add_sse2_32(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);
void blend_rect_add_avx2_15(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);
void blend_rect_add_avx2_16(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);
void blend_rect_add_avx2_32(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);
