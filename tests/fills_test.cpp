// The translucent and additive rectangle fills against a per-pixel reference, at every depth and SIMD variant.
#include <gtest/gtest.h>

#include <allegro.h>

#include <climits>
#include <cstring>
#include <cstdint>
#include <random>
#include <vector>

#include "radd.h"
#include "rblend.h"
#include "rtrans.h"

namespace {

struct Comp { int r, g, b; };

// Bit positions of red and green at each depth; blue is at 0.
int red_at(int depth) { return depth == 15 ? 10 : depth == 16 ? 11 : 16; }
int green_at(int depth) { return depth == 32 ? 8 : 5; }

Comp unpack(int depth, uint32_t p) {
    const int top = depth == 32 ? 255 : 31, gtop = depth == 16 ? 63 : top;
    return {int(p >> red_at(depth)) & top, int(p >> green_at(depth)) & gtop, int(p) & top};
}

uint32_t pack(int depth, Comp c) { return uint32_t(c.r << red_at(depth) | c.g << green_at(depth) | c.b); }

uint32_t depth_mask(int depth) { return depth == 15 ? 0x7FFF : depth == 16 ? 0xFFFF : 0xFFFFFFFF; }

// The factor 0..255 on the worker's own scale: 0..256 at 32 bits, else 0..32.
int scaled(int depth, int fact) { return depth == 32 ? (fact > 0 ? fact + 1 : 0) : (fact + 7) / 8; }

uint32_t ref_trans(int depth, uint32_t d, uint32_t c, int fact) {
    const int full = depth == 32 ? 256 : 32, f = scaled(depth, fact);
    if (f == 0) return d;
    if (f == full) return c & depth_mask(depth);  // painted solid
    const Comp dc = unpack(depth, d), cc = unpack(depth, c);
    auto mix = [&](int dv, int cv) { return dv * (full - f) / full + cv * f / full; };
    return pack(depth, {mix(dc.r, cc.r), mix(dc.g, cc.g), mix(dc.b, cc.b)});
}

uint32_t ref_add(int depth, uint32_t d, uint32_t c, int fact) {
    const int full = depth == 32 ? 256 : 32, f = scaled(depth, fact);
    if (f == 0) return d;
    Comp dc = unpack(depth, d), cc = unpack(depth, c);
    if (depth == 16) { dc.g >>= 1; cc.g >>= 1; }  // green added on its top five bits
    const int top = depth == 32 ? 255 : 31;
    auto add = [&](int dv, int cv) { return std::min(top, dv + (f == full ? cv : cv * f / full)); };
    Comp out{add(dc.r, cc.r), add(dc.g, cc.g), add(dc.b, cc.b)};
    if (depth == 16) out.g <<= 1;
    return pack(depth, out);
}

// Pixels as little-endian bytes, at any depth.
int bytes_of(BITMAP* b) { return (bitmap_color_depth(b) + 7) / 8; }
uint32_t get_px(BITMAP* b, int x, int y) {
    uint32_t v = 0;
    std::memcpy(&v, b->line[y] + x * bytes_of(b), bytes_of(b));
    return v;
}
void put_px(BITMAP* b, int x, int y, uint32_t v) { std::memcpy(b->line[y] + x * bytes_of(b), &v, bytes_of(b)); }

struct Bmp {
    BITMAP* b;
    Bmp(int depth, int w, int h) : b(create_bitmap_ex(depth, w, h)) {}
    ~Bmp() { if (b) destroy_bitmap(b); }
    Bmp(const Bmp&) = delete;
    Bmp& operator=(const Bmp&) = delete;
};

// Random pixels; at 32 bits the unused top byte is random too (the fills write it as 0).
void randomise(BITMAP* b, std::mt19937& rng) {
    const uint32_t mask = bitmap_color_depth(b) == 32 ? 0xFFFFFFFF : (1u << bitmap_color_depth(b)) - 1;
    for (int y = 0; y < b->h; y++)
        for (int x = 0; x < b->w; x++) put_px(b, x, y, rng() & mask);
}

std::vector<uint32_t> snapshot(BITMAP* b) {
    std::vector<uint32_t> v;
    for (int y = 0; y < b->h; y++)
        for (int x = 0; x < b->w; x++) v.push_back(get_px(b, x, y));
    return v;
}

bool same_pixels(BITMAP* a, BITMAP* b) {
    for (int y = 0; y < a->h; y++)
        if (std::memcmp(a->line[y], b->line[y], size_t(a->w) * bytes_of(a)) != 0) return false;
    return true;
}

using RefFn = uint32_t (*)(int, uint32_t, uint32_t, int);
using FillFn = void (*)(BITMAP*, int, int, int, int, int, int);

// One fill, every pixel checked: the reference inside the rectangle cut to the bitmap, untouched outside.
::testing::AssertionResult fill_matches(BITMAP* b, FillFn fill, RefFn ref, int x, int y, int w, int h,
                                        uint32_t color, int fact) {
    const int depth = bitmap_color_depth(b);
    const std::vector<uint32_t> before = snapshot(b);
    fill(b, x, y, w, h, int(color), fact);
    const long long x0 = std::max<long long>(x, 0), y0 = std::max<long long>(y, 0);
    const long long x1 = std::min<long long>((long long)x + w, b->w), y1 = std::min<long long>((long long)y + h, b->h);
    for (int py = 0; py < b->h; py++)
        for (int px = 0; px < b->w; px++) {
            const uint32_t old = before[size_t(py) * b->w + px];
            const bool inside = px >= x0 && px < x1 && py >= y0 && py < y1;
            const uint32_t want = inside ? ref(depth, old, color, fact) : old;
            const uint32_t got = get_px(b, px, py);
            if (got != want)
                return ::testing::AssertionFailure()
                       << "pixel (" << px << "," << py << ") " << (inside ? "inside" : "outside") << std::hex
                       << " was 0x" << old << " got 0x" << got << " want 0x" << want << std::dec << " rect " << x
                       << "," << y << " " << w << "x" << h << " colour 0x" << std::hex << color << std::dec
                       << " fact " << fact;
        }
    return ::testing::AssertionSuccess();
}

struct ImplGuard {
    BlendImpl saved = blend_impl();
    explicit ImplGuard(BlendImpl impl) { set_blend_impl(impl); }
    ~ImplGuard() { set_blend_impl(saved); }
};

std::vector<BlendImpl> available_impls() {
    std::vector<BlendImpl> v;
    for (BlendImpl i : {BLEND_PLAIN, BLEND_SSE2, BLEND_AVX2})
        if (blend_impl_available(i)) v.push_back(i);
    return v;
}

const int kDepths[] = {15, 16, 32};

}  // namespace

TEST(Fills, EveryFactorMatchesReferenceAtEveryDepthAndVariant) {
    struct Op { const char* name; FillFn fill; RefFn ref; };
    const Op ops[] = {{"trans", blend_rect_trans, ref_trans}, {"add", blend_rect_add, ref_add}};
    for (BlendImpl impl : available_impls()) {
        ImplGuard guard(impl);
        for (int depth : kDepths)
            for (const Op& op : ops) {
                SCOPED_TRACE(::testing::Message() << blend_impl_name(impl) << " " << op.name << " " << depth);
                std::mt19937 rng(depth * 7919 + impl);
                Bmp bmp(depth, 77, 9);  // odd width, wide enough for the 256-bit loops
                randomise(bmp.b, rng);
                for (int fact = 0; fact <= 255; fact++) {
                    // Rectangles of every width and offset, often sticking out on some side.
                    std::uniform_int_distribution<int> ux(-12, 80), uw(-2, 95), uy(-4, 10), uh(-1, 14);
                    const uint32_t color = rng() & depth_mask(depth) & 0xFFFFFF;
                    ASSERT_TRUE(fill_matches(bmp.b, op.fill, op.ref, ux(rng), uy(rng), uw(rng), uh(rng), color, fact));
                    if (fact % 16 == 0) randomise(bmp.b, rng);  // keep saturated pixels from piling up
                }
            }
    }
}

TEST(Fills, ClipsToTheBitmapOnEverySide) {
    struct R { int x, y, w, h; };
    const R rects[] = {
        {-5, 2, 10, 3},   {3, -4, 6, 7},   {30, 3, 20, 4},  {4, 10, 5, 20},    // out left, top, right, bottom
        {-3, -3, 60, 60}, {0, 0, 37, 17},  {36, 16, 1, 1},  {-9, 1, 9, 3},     // all sides, exact, corner, just left
        {2, -6, 3, 6},    {37, 0, 4, 4},   {0, 17, 4, 4},   {5, 5, 0, 3},      // just above, right of, below, empty
        {5, 5, 4, -2},    {INT_MAX, 0, INT_MAX, 5}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {-100, -100, 50, 50},
    };
    std::mt19937 rng(11);
    for (BlendImpl impl : available_impls()) {
        ImplGuard guard(impl);
        for (int depth : kDepths) {
            Bmp bmp(depth, 37, 17);
            randomise(bmp.b, rng);
            const uint32_t color = rng() & depth_mask(depth) & 0xFFFFFF;
            for (const R& r : rects) {
                SCOPED_TRACE(::testing::Message() << blend_impl_name(impl) << " depth " << depth);
                EXPECT_TRUE(fill_matches(bmp.b, blend_rect_trans, ref_trans, r.x, r.y, r.w, r.h, color, 150));
                EXPECT_TRUE(fill_matches(bmp.b, blend_rect_add, ref_add, r.x, r.y, r.w, r.h, color, 50));
                EXPECT_TRUE(fill_matches(bmp.b, blend_rect_trans, ref_trans, r.x, r.y, r.w, r.h, color, 255));
            }
        }
    }
}

TEST(Fills, OtherDepthsAreLeftAlone) {
    std::mt19937 rng(5);
    for (int depth : {8, 24}) {
        Bmp bmp(depth, 21, 7);
        randomise(bmp.b, rng);
        const std::vector<uint32_t> before = snapshot(bmp.b);
        for (int fact : {1, 150, 255}) {
            blend_rect_trans(bmp.b, 0, 0, 21, 7, 0xFFFFFF, fact);
            blend_rect_add(bmp.b, 0, 0, 21, 7, 0xFFFFFF, fact);
        }
        EXPECT_EQ(snapshot(bmp.b), before) << "depth " << depth;
    }
}

TEST(Fills, FullSizeClippingIgnoresTheClipRectangleButNotSubBitmapBounds) {
    Bmp parent(16, 40, 20);
    clear_to_color(parent.b, 0);
    BITMAP* sub = create_sub_bitmap(parent.b, 5, 4, 10, 8);
    ASSERT_NE(sub, nullptr);
    set_clip_rect(sub, 2, 2, 3, 3);
    const int white = makecol16(255, 255, 255);
    blend_rect_trans(sub, -50, -50, 200, 200, white, 128);
    for (int y = 0; y < 20; y++)
        for (int x = 0; x < 40; x++) {
            const bool in_sub = x >= 5 && x < 15 && y >= 4 && y < 12;
            EXPECT_EQ(get_px(parent.b, x, y) != 0, in_sub) << x << "," << y;
        }
    destroy_bitmap(sub);
}

TEST(Fills, OutOfRangeFactorsAndColoursStayInRange) {
    for (int depth : kDepths) {
        SCOPED_TRACE(depth);
        std::mt19937 rng(depth);
        Bmp a(depth, 13, 3), b(depth, 13, 3);
        randomise(a.b, rng);
        blit(a.b, b.b, 0, 0, 0, 0, 13, 3);
        const int color = int(rng() & depth_mask(depth) & 0xFFFFFF);
        // A factor above 255 counts as 255 instead of overflowing the packed components.
        blend_rect_add(a.b, 0, 0, 13, 3, color, 1000);
        blend_rect_add(b.b, 0, 0, 13, 3, color, 255);
        EXPECT_EQ(snapshot(a.b), snapshot(b.b));
        blend_rect_trans(a.b, 0, 0, 13, 3, color, 400);
        blend_rect_trans(b.b, 0, 0, 13, 3, color, 255);
        EXPECT_EQ(snapshot(a.b), snapshot(b.b));
        // Negative factors do nothing.
        const std::vector<uint32_t> before = snapshot(a.b);
        blend_rect_add(a.b, 0, 0, 13, 3, color, -3);
        blend_rect_trans(a.b, 0, 0, 13, 3, color, INT_MIN);
        EXPECT_EQ(snapshot(a.b), before);
    }
    // At 15/16 bits only the pixel's own bits of the colour count, so both pixels of a packed
    // pair get the same colour.
    for (int depth : {15, 16}) {
        Bmp a(depth, 6, 1);
        clear_to_color(a.b, 0);
        blend_rect_trans(a.b, 0, 0, 6, 1, 0x7A5A5, 200);
        blend_rect_add(a.b, 0, 0, 6, 1, 0x12345, 100);
        for (int x = 1; x < 6; x++) EXPECT_EQ(get_px(a.b, x, 0), get_px(a.b, 0, 0)) << depth;
        EXPECT_EQ(get_px(a.b, 0, 0), ref_add(depth, ref_trans(depth, 0, 0xA5A5 & depth_mask(depth), 200),
                                             0x2345 & depth_mask(depth), 100));
    }
}

// Each SIMD worker against the plain one on every 16-bit value, every row length to 47 from every
// start modulo 4, and rows whose odd start leaves scalar ends.
TEST(Fills, SimdWorkersEqualPlain) {
    struct Workers { int depth; FillFn plain, sse2, avx2; };
    const Workers sets[] = {
        {16, blend_rect_trans_16, blend_rect_trans_sse2_16, blend_rect_trans_avx2_16},
        {15, blend_rect_trans_15, blend_rect_trans_sse2_15, blend_rect_trans_avx2_15},
        {16, blend_rect_add_16, blend_rect_add_sse2_16, blend_rect_add_avx2_16},
        {15, blend_rect_add_15, blend_rect_add_sse2_15, blend_rect_add_avx2_15},
        {32, blend_rect_trans_32, blend_rect_trans_sse2_32, blend_rect_trans_avx2_32},
        {32, blend_rect_add_32, blend_rect_add_sse2_32, blend_rect_add_avx2_32},
    };
    std::mt19937 rng(99);
    for (const Workers& ws : sets) {
        Bmp src(ws.depth, 256, 256), want(ws.depth, 256, 256), got(ws.depth, 256, 256);
        if (ws.depth == 32) randomise(src.b, rng);
        else for (int v = 0; v < 65536; v++) put_px(src.b, v & 255, v >> 8, uint32_t(v));
        for (const auto& [impl, worker] : {std::make_pair(BLEND_SSE2, ws.sse2), std::make_pair(BLEND_AVX2, ws.avx2)}) {
            if (!blend_impl_available(impl)) continue;
            auto same = [&](int x, int y, int w, int h, uint32_t color, int f) {
                blit(src.b, want.b, 0, 0, 0, 0, 256, 256);
                blit(src.b, got.b, 0, 0, 0, 0, 256, 256);
                ws.plain(want.b, x, y, w, h, int(color), f);
                worker(got.b, x, y, w, h, int(color), f);
                return same_pixels(got.b, want.b);
            };
            for (int f = 0; f <= (ws.depth == 32 ? 256 : 32); f++) {
                SCOPED_TRACE(::testing::Message() << blend_impl_name(impl) << " depth " << ws.depth << " f " << f);
                ASSERT_TRUE(same(f % 4, 1, 1 + f % 47, 46, rng(), f));
                if (ws.depth == 32) continue;
                for (uint32_t color : {0u, depth_mask(ws.depth), uint32_t(rng() & 0xFFFF), uint32_t(rng() & 0xFFFF)})
                    for (int x : {0, 3}) ASSERT_TRUE(same(x, 0, x ? 250 : 256, 256, color, f)) << color << " x " << x;
            }
        }
    }
}

TEST(Fills, RunTimeChoiceIsTheBestAvailable) {
    const BlendImpl best = blend_impl();
    EXPECT_TRUE(blend_impl_available(best));
    if (blend_impl_available(BLEND_AVX2)) {
        EXPECT_EQ(best, BLEND_AVX2);
    }
}
