// Additive rectangle fill: the entry point and the plain per-depth workers.
#include "radd.h"

#include <algorithm>
#include <cstdint>

#include "rblend.h"
#include "rblend_pixel.h"

using namespace rblend;

namespace {

using Worker = void (*)(BITMAP*, int, int, int, int, int, int);

Worker pick_worker(int depth) {
    static const Worker table[3][3] = {
        {blend_rect_add_15, blend_rect_add_16, blend_rect_add_32},
        {blend_rect_add_sse2_15, blend_rect_add_sse2_16, blend_rect_add_sse2_32},
        {blend_rect_add_avx2_15, blend_rect_add_avx2_16, blend_rect_add_avx2_32},
    };
    const int col = depth == 15 ? 0 : depth == 16 ? 1 : 2;
    return table[blend_impl()][col];
}

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
    if (!blend_clip(bmp, x, y, w, h)) return;
    const int depth = bitmap_color_depth(bmp);
    // Factors above 255 would overflow the packed components; treat them as full strength.
    fact = std::min(fact, 255);
    if (depth == 15 || depth == 16) {
        fact = (fact + 7) >> 3;
        // Higher bits would spill into the packed green field.
        color &= depth == 15 ? 0x7FFF : 0xFFFF;
    } else if (depth != 32) {
        return;
    }
    if (fact <= 0) return;

    acquire_bitmap(bmp);
    if (depth == 32) fact += 1;  // 256: the colour is added unscaled
    pick_worker(depth)(bmp, x, y, w, h, color, fact);
    bmp_unwrite_line(bmp);
    release_bitmap(bmp);
}
