// Translucent rectangle fill: the entry point and the plain per-depth workers.
#include "rtrans.h"

#include <algorithm>
#include <cstdint>

#include "rblend.h"
#include "rblend_pixel.h"

using namespace rblend;

namespace {

// 15/16-bit rows: four pixels per multiply, then a pair and the odd last pixel alone.
template <typename Mix>
void trans_rows_packed(BITMAP* bmp, int x, int y, int w, int h, uint32_t color, uint32_t f) {
    const Mix mix(color, f);
    const int quads = w / 4;
    for (int j = 0; j < h; j++) {
        unsigned char* p = blend_row(bmp, y + j, x * 2);
        for (int i = 0; i < quads; i++, p += 8) store64(p, mix.Quad(load64(p)));
        if (w & 2) { store32(p, mix.Pair(load32(p))); p += 4; }
        if (w & 1) store16(p, mix.One(load16(p)));
    }
}

}  // namespace

void blend_rect_trans_15(BITMAP* bmp, int x, int y, int w, int h, int color, int fact) {
    if (!blend_clip(bmp, x, y, w, h) || fact <= 0) return;
    trans_rows_packed<Trans15>(bmp, x, y, w, h, color & 0x7FFF, std::min(fact, 32));
}

void blend_rect_trans_16(BITMAP* bmp, int x, int y, int w, int h, int color, int fact) {
    if (!blend_clip(bmp, x, y, w, h) || fact <= 0) return;
    trans_rows_packed<Trans16>(bmp, x, y, w, h, color & 0xFFFF, std::min(fact, 32));
}

void blend_rect_trans_32(BITMAP* bmp, int x, int y, int w, int h, int color, int fact) {
    if (!blend_clip(bmp, x, y, w, h) || fact <= 0) return;
    const Trans32 mix(static_cast<uint32_t>(color), std::min(fact, 256));
    for (int j = 0; j < h; j++) {
        unsigned char* p = blend_row(bmp, y + j, x * 4);
        for (int i = 0; i < w; i++, p += 4) store32(p, mix.One(load32(p)));
    }
}

void blend_rect_trans(BITMAP* bmp, int x, int y, int w, int h, int color, int fact) {
    static const BlendWorkerTable workers = {
        {blend_rect_trans_15, blend_rect_trans_16, blend_rect_trans_32},
        {blend_rect_trans_sse2_15, blend_rect_trans_sse2_16, blend_rect_trans_sse2_32},
        {blend_rect_trans_avx2_15, blend_rect_trans_avx2_16, blend_rect_trans_avx2_32},
    };
    blend_rect_dispatch(bmp, x, y, w, h, color, fact, workers, true);
}
