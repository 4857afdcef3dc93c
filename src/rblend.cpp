// Shared plumbing of the rectangle fills: clipping and the run-time choice of SIMD variant.
#include "rblend.h"

#include <algorithm>

namespace {

BlendImpl detect_best() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return BLEND_AVX2;
    if (__builtin_cpu_supports("sse2")) return BLEND_SSE2;
#endif
    return BLEND_PLAIN;
}

// Chosen once, on first use, so that no static initialisation order matters.
BlendImpl& current_impl() {
    static BlendImpl impl = detect_best();
    return impl;
}

}  // namespace

BlendImpl blend_impl() { return current_impl(); }

bool blend_impl_available(BlendImpl impl) {
    switch (impl) {
    case BLEND_PLAIN: return true;
#if defined(__x86_64__) || defined(__i386__)
    case BLEND_SSE2: __builtin_cpu_init(); return __builtin_cpu_supports("sse2");
    case BLEND_AVX2: __builtin_cpu_init(); return __builtin_cpu_supports("avx2");
#endif
    default: return false;
    }
}

bool set_blend_impl(BlendImpl impl) {
    if (!blend_impl_available(impl)) return false;
    current_impl() = impl;
    return true;
}

const char* blend_impl_name(BlendImpl impl) {
    switch (impl) {
    case BLEND_PLAIN: return "plain";
    case BLEND_SSE2: return "sse2";
    case BLEND_AVX2: return "avx2";
    }
    return "?";
}

bool blend_clip(const BITMAP* bmp, int& x, int& y, int& w, int& h) {
    if (!bmp) return false;
    // Wide arithmetic: x + w must not overflow for rectangles far outside the bitmap.
    long long cx = x, cy = y, cw = w, ch = h;
    if (cx < 0) { cw += cx; cx = 0; }
    if (cy < 0) { ch += cy; cy = 0; }
    if (cx + cw >= bmp->w) cw = bmp->w - cx;
    if (cy + ch >= bmp->h) ch = bmp->h - cy;
    if (cw <= 0 || ch <= 0) return false;
    x = static_cast<int>(cx); y = static_cast<int>(cy);
    w = static_cast<int>(cw); h = static_cast<int>(ch);
    return true;
}

void blend_rect_dispatch(BITMAP* bmp, int x, int y, int w, int h, int color, int fact,
                         const BlendWorkerTable& workers, bool solid_at_full) {
    if (!blend_clip(bmp, x, y, w, h)) return;
    const int depth = bitmap_color_depth(bmp);
    // Factors above 255 would overflow the packed components; treat them as full strength.
    fact = std::min(fact, 255);
    if (depth == 15 || depth == 16) {
        fact = (fact + 7) >> 3;
        // Higher bits would spill into the packed fields (a translucent pair of pixels would
        // get two different colours, an added one a wrong green).
        color &= depth == 15 ? 0x7FFF : 0xFFFF;
    } else if (depth != 32) {
        return;
    }
    if (fact <= 0) return;

    acquire_bitmap(bmp);
    if (depth == 32) fact += 1;  // 256: the colour at full strength
    const int full = depth == 32 ? 256 : 32;
    const int col = depth == 15 ? 0 : depth == 16 ? 1 : 2;
    if (solid_at_full && fact == full)
        rectfill(bmp, x, y, x + w - 1, y + h - 1, color);
    else
        workers[blend_impl()][col](bmp, x, y, w, h, color, fact);
    bmp_unwrite_line(bmp);
    release_bitmap(bmp);
}
