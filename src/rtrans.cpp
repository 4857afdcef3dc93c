// Translucent rectangle fill: the entry point and the plain per-depth workers.
#include "rtrans.h"

#include <algorithm>
#include <cstdint>

#include "rblend.h"
#include "rblend_pixel.h"

using namespace rblend;

namespace {

using Worker = void (*)(BITMAP*, int, int, int, int, int, int);

Worker pick_worker(int depth) {
    static const Worker table[3][3] = {
        {blend_rect_trans_15, blend_rect_trans_16, blend_rect_trans_32},
        {blend_rect_trans_sse2_15, blend_rect_trans_sse2_16, blend_rect_trans_sse2_32},
        {blend_rect_trans_avx2_15, blend_rect_trans_avx2_16, blend_rect_trans_avx2_32},
    };
    const int col = depth == 15 ? 0 : depth == 16 ? 1 : 2;
    return table[blend_impl()][col];
}

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
    if (!blend_clip(bmp, x, y, w, h)) return;
    const int depth = bitmap_color_depth(bmp);
    // Factors above 255 would overflow the packed components; treat them as full strength.
    fact = std::min(fact, 255);
    if (depth == 15 || depth == 16) {
        fact = (fact + 7) >> 3;
        // Higher bits would give the two pixels of a packed pair different colours.
        color &= depth == 15 ? 0x7FFF : 0xFFFF;
    } else if (depth != 32) {
        return;
    }
    if (fact <= 0) return;

    acquire_bitmap(bmp);
    if (depth == 32) fact += 1;
    const int full = depth == 32 ? 256 : 32;
    if (fact == full)
        rectfill(bmp, x, y, x + w - 1, y + h - 1, color);
    else
        pick_worker(depth)(bmp, x, y, w, h, color, fact);
    bmp_unwrite_line(bmp);
    release_bitmap(bmp);
}
