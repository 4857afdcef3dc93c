// Translucent rectangle fill: mixes a colour into a rectangle of a 15-, 16- or 32-bit bitmap.
#pragma once

#include <allegro.h>

// Fills the rectangle with color (a pixel value of the bitmap's depth) at strength fact (0..255),
// clipped to the bitmap's full size; other depths are left alone. Called by the map and battle drawing.
void blend_rect_trans(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);

// Per-depth workers, called by blend_rect_trans between acquire and release; tests and benches
// call them directly. fact is already converted: 0..32 of 32 at 15/16 bits, 0..256 of 256 at
// 32 bits. They clip to the bitmap themselves and never touch pixels outside the rectangle.
void blend_rect_trans_15(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);
void blend_rect_trans_16(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);
void blend_rect_trans_32(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);

// SIMD variants of the workers, same arguments and exactly the same pixels; call them only when
// blend_impl_available says the processor has the instructions.
void blend_rect_trans_sse2_15(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);
void blend_rect_trans_sse2_16(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);
void blend_rect_trans_sse2_32(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);
void blend_rect_trans_avx2_15(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);
void blend_rect_trans_avx2_16(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);
void blend_rect_trans_avx2_32(BITMAP* bmp, int x, int y, int w, int h, int color, int fact);
