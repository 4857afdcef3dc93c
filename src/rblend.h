// Shared plumbing of the rectangle fills: clipping, row access and the choice of SIMD variant.
#pragma once

#include <allegro.h>

// Which implementation of the fill workers the entry points call.
enum BlendImpl {
    BLEND_PLAIN,  // portable integer code
    BLEND_SSE2,   // 128-bit SSE2 variants
    BLEND_AVX2    // 256-bit AVX2 variants
};

// The implementation in use; on first use, the best one the processor offers. Called by the entry points.
BlendImpl blend_impl();
// Forces an implementation; returns false (and changes nothing) if the processor lacks it. Called by tests and benches.
bool set_blend_impl(BlendImpl impl);
// Whether the processor can run the implementation. Called by tests, benches and set_blend_impl.
bool blend_impl_available(BlendImpl impl);
// Short name of an implementation ("plain", "sse2", "avx2") for test and bench labels.
const char* blend_impl_name(BlendImpl impl);

// Cuts the rectangle to the bitmap's full size (its clipping rectangle does not count); false if
// nothing is left. Called by the entry points and by every worker.
bool blend_clip(const BITMAP* bmp, int& x, int& y, int& w, int& h);

// A per-depth fill worker: (bitmap, x, y, w, h, color, fact) with fact already on the depth's scale.
using BlendWorker = void (*)(BITMAP*, int, int, int, int, int, int);
// One fill's workers: rows plain / SSE2 / AVX2 (BlendImpl order), columns 15 / 16 / 32 bits.
using BlendWorkerTable = BlendWorker[3][3];

// What the rectangle fills' entry points share: clips the rectangle, leaves depths other than
// 15, 16 and 32 alone, brings fact from 0..255 to the depth's scale (0..32, or 1..256 at 32
// bits) and color to the depth's bits, then runs the worker of the implementation in use
// between acquire and release. With solid_at_full a full-strength factor fills the rectangle
// plainly instead. Called by blend_rect_trans and blend_rect_add.
void blend_rect_dispatch(BITMAP* bmp, int x, int y, int w, int h, int color, int fact,
                         const BlendWorkerTable& workers, bool solid_at_full);

// Address of pixel column x (in bytes: x times the pixel size) of row y, for reading and writing.
inline unsigned char* blend_row(BITMAP* bmp, int y, int x_bytes) {
    return reinterpret_cast<unsigned char*>(bmp_write_line(bmp, y)) + x_bytes;
}
