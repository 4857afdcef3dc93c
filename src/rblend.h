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

// Address of pixel column x (in bytes: x times the pixel size) of row y, for reading and writing.
inline unsigned char* blend_row(BITMAP* bmp, int y, int x_bytes) {
    return reinterpret_cast<unsigned char*>(bmp_write_line(bmp, y)) + x_bytes;
}
