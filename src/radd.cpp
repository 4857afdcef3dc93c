// Additive rectangle fill: the entry point and the plain per-depth workers.
#include "radd.h"

#include <algorithm>
#include <cstdint>

#include "rblend.h"
#include "rblend_pixel.h"

using namespace rblend;

namespace {

template <typename Adder>
void add_rows_16bit(BITMAP* bmp, int x, int y, int w, int h, uint32_t color, uint32_t f) {
    const Adder add(color, f);
    for (int j = 0; j < h; j++) {
        unsigned char* p = blend_row(bmp, y + j, x * 2);
        for (int i = 0; i < w; i++, p += 2) store16(p, add.One(load16(p)));
    }
}

}  // namespace

void blend_rect_add_15(BITMAP* bmp, int x, int y, int w, int h, int color, int fact) {
    if (!blend_clip(bmp, x, y, w, h) || fact <= 0) return;
    add_rows_16bit<Add15>(bmp, x, y, w, h, color & 0x7FFF, std::min(fact, 32));
}

void blend_rect_add_16(BITMAP* bmp, int x, int y, int w, int h, int color, int fact) {
    if (!blend_clip(bmp, x, y, w, h) || fact <= 0) return;
    add_rows_16bit<Add16>(bmp, x, y, w, h, color & 0xFFFF, std::min(fact, 32));
}

void blend_rect_add_32(BITMAP* bmp, int x, int y, int w, int h, int color, int fact) {
    if (!blend_clip(bmp, x, y, w, h) || fact <= 0) return;
    const Add32 add(static_cast<uint32_t>(color), std::min(fact, 256));
    for (int j = 0; j < h; j++) {
        unsigned char* p = blend_row(bmp, y + j, x * 4);
        for (int i = 0; i < w; i++, p += 4) store32(p, add.One(load32(p)));
    }
}

void blend_rect_add(BITMAP* bmp, int x, int y, int w, int h, int color, int fact) {
    static const BlendWorkerTable workers = {
        {blend_rect_add_15, blend_rect_add_16, blend_rect_add_32},
        {blend_rect_add_sse2_15, blend_rect_add_sse2_16, blend_rect_add_sse2_32},
        {blend_rect_add_avx2_15, blend_rect_add_avx2_16, blend_rect_add_avx2_32},
    };
    blend_rect_dispatch(bmp, x, y, w, h, color, fact, workers, false);
}
