// The translucent and additive rectangle fills against a per-pixel reference, at every depth and SIMD variant.
#include <gtest/gtest.h>

#include <allegro.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "radd.h"
#include "rblend.h"
#include "rtrans.h"

namespace {

struct Comp { int r, g, b; };
using FillFn = void (*)(BITMAP*, int, int, int, int, int, int);
using Bmp = std::unique_ptr<BITMAP, void (*)(BITMAP*)>;

// Red and green bit positions at each depth (blue is at 0); the depth's pixel bits.
int red_at(int depth) { return depth == 15 ? 10 : depth == 16 ? 11 : 16; }
int green_at(int depth) { return depth == 32 ? 8 : 5; }
uint32_t depth_mask(int depth) { return depth == 15 ? 0x7FFF : depth == 16 ? 0xFFFF : 0xFFFFFFFF; }
Comp unpack(int depth, uint32_t p) {
    const int top = depth == 32 ? 255 : 31, gtop = depth == 16 ? 63 : top;
    return {int(p >> red_at(depth)) & top, int(p >> green_at(depth)) & gtop, int(p) & top};
}
uint32_t pack(int depth, Comp c) { return uint32_t(c.r << red_at(depth) | c.g << green_at(depth) | c.b); }
// The factor 0..255 on the worker's own scale: 0..256 at 32 bits, else 0..32.
int scaled(int depth, int fact) { return depth == 32 ? (fact > 0 ? fact + 1 : 0) : (fact + 7) / 8; }

// The reference pixel: c mixed into d (or added to it, each component saturating) at factor fact.
uint32_t ref(bool add, int depth, uint32_t d, uint32_t c, int fact) {
    const int full = depth == 32 ? 256 : 32, f = scaled(depth, fact), top = depth == 32 ? 255 : 31, g16 = add && depth == 16;
    if (f == 0) return d;
    if (!add && f == full) return c & depth_mask(depth);  // painted solid
    Comp dc = unpack(depth, d), cc = unpack(depth, c);
    dc.g >>= g16, cc.g >>= g16;  // 16-bit green is added on its top five bits
    auto mix = [&](int dv, int cv) { return add ? std::min(top, dv + (f == full ? cv : cv * f / full)) : dv * (full - f) / full + cv * f / full; };
    return pack(depth, {mix(dc.r, cc.r), mix(dc.g, cc.g) << g16, mix(dc.b, cc.b)});
}

Bmp make(int depth, int w, int h) { return Bmp(create_bitmap_ex(depth, w, h), destroy_bitmap); }
// Pixels as little-endian bytes, at any depth.
int bytes_of(BITMAP* b) { return (bitmap_color_depth(b) + 7) / 8; }
uint32_t get_px(BITMAP* b, int x, int y) { uint32_t v = 0; std::memcpy(&v, b->line[y] + x * bytes_of(b), bytes_of(b)); return v; }
void put_px(BITMAP* b, int x, int y, uint32_t v) { std::memcpy(b->line[y] + x * bytes_of(b), &v, bytes_of(b)); }
// Random pixels; at 32 bits the unused top byte is random too (the fills write it as 0).
void randomise(BITMAP* b, std::mt19937& rng) {
    const int d = bitmap_color_depth(b);
    for (int i = 0; i < b->w * b->h; i++) put_px(b, i % b->w, i / b->w, rng() & (d == 32 ? 0xFFFFFFFF : (1u << d) - 1));
}
std::vector<uint32_t> snapshot(BITMAP* b) {
    std::vector<uint32_t> v;
    for (int i = 0; i < b->w * b->h; i++) v.push_back(get_px(b, i % b->w, i / b->w));
    return v;
}

// One fill, every pixel checked: the reference inside the rectangle cut to the bitmap, untouched outside.
void expect_fill(BITMAP* b, FillFn fill, bool add, int x, int y, int w, int h, uint32_t color, int fact) {
    std::vector<uint32_t> want = snapshot(b);
    for (int i = 0; i < b->w * b->h; i++)
        if (i % b->w >= x && i % b->w < (long long)x + w && i / b->w >= y && i / b->w < (long long)y + h)
            want[(size_t)i] = ref(add, bitmap_color_depth(b), want[(size_t)i], color, fact);
    fill(b, x, y, w, h, int(color), fact);
    ASSERT_EQ(snapshot(b), want) << std::hex << "colour " << color << std::dec << " rect " << x << "," << y << " " << w << "x" << h
                                 << " fact " << fact;
}

struct ImplGuard {
    BlendImpl saved = blend_impl();
    explicit ImplGuard(BlendImpl impl) { set_blend_impl(impl); }
    ~ImplGuard() { set_blend_impl(saved); }
};

}  // namespace

// Every factor on random rectangles, and fixed ones out on every side (overflowing ints too), with
// every variant; the colour's bits above the depth's never count (both pixels of a 16-bit pair match).
TEST(Fills, MatchTheReferenceAndClipToTheBitmap) {
    const struct { const char* name; FillFn fill; bool add; } ops[] = {{"trans", blend_rect_trans, false}, {"add", blend_rect_add, true}};
    const struct { int x, y, w, h; } rects[] = {  // on a 37 x 17 bitmap
        {-5, 2, 10, 3}, {3, -4, 6, 7}, {30, 3, 20, 4}, {4, 10, 5, 20}, {-3, -3, 60, 60}, {0, 0, 37, 17},
        {36, 16, 1, 1}, {-9, 1, 9, 3}, {2, -6, 3, 6}, {37, 0, 4, 4}, {0, 17, 4, 4}, {5, 5, 0, 3}, {5, 5, 4, -2},
        {INT_MAX, 0, INT_MAX, 5}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {-100, -100, 50, 50}};
    for (BlendImpl impl : {BLEND_PLAIN, BLEND_SSE2, BLEND_AVX2}) {
        if (!blend_impl_available(impl)) continue;
        ImplGuard guard(impl);
        for (int depth : {15, 16, 32})
            for (const auto& op : ops) {
                SCOPED_TRACE(::testing::Message() << blend_impl_name(impl) << " " << op.name << " " << depth);
                std::mt19937 rng(depth * 7919 + impl);
                Bmp bmp = make(depth, 77, 9), clip = make(depth, 37, 17);  // 77: odd, wide enough for the 256-bit loops
                randomise(bmp.get(), rng);
                randomise(clip.get(), rng);
                std::uniform_int_distribution<int> ux(-12, 80), uw(-2, 95), uy(-4, 10), uh(-1, 14);
                for (int fact = 0; fact <= 255 && !HasFatalFailure(); fact++) {
                    expect_fill(bmp.get(), op.fill, op.add, ux(rng), uy(rng), uw(rng), uh(rng), rng() & 0xFFFFFF, fact);
                    if (fact % 16 == 0) randomise(bmp.get(), rng);  // keep saturated pixels from piling up
                }
                for (const auto& r : rects)
                    for (int fact : {50, 150, 255}) expect_fill(clip.get(), op.fill, op.add, r.x, r.y, r.w, r.h, rng() & 0xFFFFFF, fact);
                if (depth == 32 || HasFatalFailure()) continue;
                // Every 15/16-bit value at every factor step, in rows from every start modulo 4 of every
                // length to 47, and in rows whose odd start leaves scalar ends.
                Bmp all = make(depth, 256, 256);
                for (int k = 0; k <= 32 && !HasFatalFailure(); k++)
                    for (int x : {k % 4, 3}) {
                        for (int v = 0; v < 65536; v++) put_px(all.get(), v & 255, v >> 8, uint32_t(v) & depth_mask(depth));
                        const uint32_t color = k == 8 ? 0 : k == 16 ? 0xFFFFFF : rng() & 0xFFFFFF;
                        expect_fill(all.get(), op.fill, op.add, x, x == 3 ? 0 : 1, x == 3 ? 250 : 1 + k % 47, x == 3 ? 256 : 46, color, k ? 8 * k - 7 : 0);
                    }
            }
    }
}

// A negative factor does nothing, one above 255 counts as 255, other depths are left alone.
TEST(Fills, OddDepthsAndFactors) {
    std::mt19937 rng(5);
    for (int depth : {15, 16, 32, 8, 24}) {
        Bmp a = make(depth, 13, 3), b = make(depth, 13, 3);
        randomise(a.get(), rng);
        const std::vector<uint32_t> before = snapshot(a.get());
        const int color = int(rng() & 0xFFFFFF);
        auto fill = [&](Bmp& m, bool add, int f) { (add ? blend_rect_add : blend_rect_trans)(m.get(), 0, 0, 13, 3, color, f); };
        fill(a, true, -3), fill(a, false, INT_MIN);
        EXPECT_EQ(snapshot(a.get()), before) << depth;
        for (bool add : {true, false}) {
            blit(a.get(), b.get(), 0, 0, 0, 0, 13, 3);
            fill(a, add, add ? 1000 : 400), fill(b, add, 255);
            EXPECT_EQ(snapshot(a.get()), snapshot(b.get())) << depth << (add ? " add" : " trans");
        }
        for (int f : {1, 150}) fill(a, true, f), fill(a, false, f);
        EXPECT_EQ(snapshot(a.get()), depth == 8 || depth == 24 ? before : snapshot(a.get())) << depth;
    }
}

TEST(Fills, FullSizeClippingIgnoresTheClipRectangleButNotSubBitmapBounds) {
    Bmp parent = make(16, 40, 20);
    clear_to_color(parent.get(), 0);
    Bmp sub(create_sub_bitmap(parent.get(), 5, 4, 10, 8), destroy_bitmap);
    set_clip_rect(sub.get(), 2, 2, 3, 3);
    blend_rect_trans(sub.get(), -50, -50, 200, 200, makecol16(255, 255, 255), 128);
    for (int i = 0; i < 40 * 20; i++)
        EXPECT_EQ(get_px(parent.get(), i % 40, i / 40) != 0, i % 40 >= 5 && i % 40 < 15 && i / 40 >= 4 && i / 40 < 12) << i % 40 << "," << i / 40;
}

TEST(Fills, RunTimeChoiceIsTheBestThereIs) {
    EXPECT_EQ(blend_impl(), blend_impl_available(BLEND_AVX2) ? BLEND_AVX2 : blend_impl_available(BLEND_SSE2) ? BLEND_SSE2 : BLEND_PLAIN);
}
