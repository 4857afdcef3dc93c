// Additive rectangle fill: SSE2 and AVX2 variants of the workers, pixel for pixel equal to the plain ones.
#include <algorithm>
#include <cstdint>

#include "radd.h"
#include "rblend.h"
#include "rblend_pixel.h"

using namespace rblend;

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

// 15/16 bits: each component is moved to the top of its own 16-bit lane (low bits zero) and
// added with unsigned saturation, so an overflow gives all ones there, as the plain carry trick
// does. The colour's scaled components come from the plain code. 32 bits is a byte-wise
// saturating add. Row ends left over from the vector loop go through the plain pixel code.

namespace {

// Where a 15/16-bit pixel keeps its components: shifts that put each at the top of a lane.
struct AddLayout {
    uint16_t rmask, gmask;  // red and green (the green bits that take part) in the pixel
    int rshift, gshift;     // left shifts that put them at bits 11..15
};
constexpr AddLayout kAdd16 = {0xF800, 0x07C0, 0, 5};
constexpr AddLayout kAdd15 = {0x7C00, 0x03E0, 1, 6};

// The packed added colour split back into lane-top components.
struct AddShares { uint16_t r, g, b; };

inline AddShares shares16(uint32_t s) {
    return {static_cast<uint16_t>(((s >> 11) & 31) << 11), static_cast<uint16_t>(((s >> 22) & 31) << 11),
            static_cast<uint16_t>((s & 31) << 11)};
}
inline AddShares shares15(uint32_t s) {
    return {static_cast<uint16_t>(((s >> 10) & 31) << 11), static_cast<uint16_t>(((s >> 21) & 31) << 11),
            static_cast<uint16_t>((s & 31) << 11)};
}

template <typename Adder>
__attribute__((target("sse2")))
void add_sse2_packed(BITMAP* bmp, int x, int y, int w, int h, uint32_t color, uint32_t f, AddLayout lay, AddShares sh) {
    const Adder add(color, f);
    const __m128i rmask = _mm_set1_epi16(static_cast<short>(lay.rmask));
    const __m128i gmask = _mm_set1_epi16(static_cast<short>(lay.gmask));
    const __m128i top = _mm_set1_epi16(static_cast<short>(0xF800));
    const __m128i sr = _mm_set1_epi16(static_cast<short>(sh.r));
    const __m128i sg = _mm_set1_epi16(static_cast<short>(sh.g));
    const __m128i sb = _mm_set1_epi16(static_cast<short>(sh.b));
    const __m128i rs = _mm_cvtsi32_si128(lay.rshift), gs = _mm_cvtsi32_si128(lay.gshift);
    for (int j = 0; j < h; j++) {
        unsigned char* p = blend_row(bmp, y + j, x * 2);
        int i = 0;
        for (; i + 8 <= w; i += 8, p += 16) {
            const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            __m128i r = _mm_sll_epi16(_mm_and_si128(d, rmask), rs);
            __m128i g = _mm_sll_epi16(_mm_and_si128(d, gmask), gs);
            __m128i b = _mm_slli_epi16(d, 11);
            r = _mm_srl_epi16(_mm_and_si128(_mm_adds_epu16(r, sr), top), rs);
            g = _mm_srl_epi16(_mm_and_si128(_mm_adds_epu16(g, sg), top), gs);
            b = _mm_srli_epi16(_mm_adds_epu16(b, sb), 11);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_or_si128(_mm_or_si128(r, g), b));
        }
        for (; i < w; i++, p += 2) store16(p, add.One(load16(p)));
    }
}

template <typename Adder>
__attribute__((target("avx2")))
void add_avx2_packed(BITMAP* bmp, int x, int y, int w, int h, uint32_t color, uint32_t f, AddLayout lay, AddShares sh) {
    const Adder add(color, f);
    const __m256i rmask = _mm256_set1_epi16(static_cast<short>(lay.rmask));
    const __m256i gmask = _mm256_set1_epi16(static_cast<short>(lay.gmask));
    const __m256i top = _mm256_set1_epi16(static_cast<short>(0xF800));
    const __m256i sr = _mm256_set1_epi16(static_cast<short>(sh.r));
    const __m256i sg = _mm256_set1_epi16(static_cast<short>(sh.g));
    const __m256i sb = _mm256_set1_epi16(static_cast<short>(sh.b));
    const __m128i rs = _mm_cvtsi32_si128(lay.rshift), gs = _mm_cvtsi32_si128(lay.gshift);
    for (int j = 0; j < h; j++) {
        unsigned char* p = blend_row(bmp, y + j, x * 2);
        int i = 0;
        for (; i + 16 <= w; i += 16, p += 32) {
            const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
            __m256i r = _mm256_sll_epi16(_mm256_and_si256(d, rmask), rs);
            __m256i g = _mm256_sll_epi16(_mm256_and_si256(d, gmask), gs);
            __m256i b = _mm256_slli_epi16(d, 11);
            r = _mm256_srl_epi16(_mm256_and_si256(_mm256_adds_epu16(r, sr), top), rs);
            g = _mm256_srl_epi16(_mm256_and_si256(_mm256_adds_epu16(g, sg), top), gs);
            b = _mm256_srli_epi16(_mm256_adds_epu16(b, sb), 11);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm256_or_si256(_mm256_or_si256(r, g), b));
        }
        for (; i < w; i++, p += 2) store16(p, add.One(load16(p)));
    }
}

}  // namespace

__attribute__((target("sse2")))
void blend_rect_add_sse2_15(BITMAP* bmp, int x, int y, int w, int h, int color, int fact) {
    if (!blend_clip(bmp, x, y, w, h) || fact <= 0) return;
    const uint32_t f = std::min(fact, 32), c = color & 0x7FFF;
    add_sse2_packed<Add15>(bmp, x, y, w, h, c, f, kAdd15, shares15(Add15(c, f).s));
}

__attribute__((target("sse2")))
void blend_rect_add_sse2_16(BITMAP* bmp, int x, int y, int w, int h, int color, int fact) {
    if (!blend_clip(bmp, x, y, w, h) || fact <= 0) return;
    const uint32_t f = std::min(fact, 32), c = color & 0xFFFF;
    add_sse2_packed<Add16>(bmp, x, y, w, h, c, f, kAdd16, shares16(Add16(c, f).s));
}

__attribute__((target("avx2")))
void blend_rect_add_avx2_15(BITMAP* bmp, int x, int y, int w, int h, int color, int fact) {
    if (!blend_clip(bmp, x, y, w, h) || fact <= 0) return;
    const uint32_t f = std::min(fact, 32), c = color & 0x7FFF;
    add_avx2_packed<Add15>(bmp, x, y, w, h, c, f, kAdd15, shares15(Add15(c, f).s));
}

__attribute__((target("avx2")))
void blend_rect_add_avx2_16(BITMAP* bmp, int x, int y, int w, int h, int color, int fact) {
    if (!blend_clip(bmp, x, y, w, h) || fact <= 0) return;
    const uint32_t f = std::min(fact, 32), c = color & 0xFFFF;
    add_avx2_packed<Add16>(bmp, x, y, w, h, c, f, kAdd16, shares16(Add16(c, f).s));
}

__attribute__((target("sse2")))
void blend_rect_add_sse2_32(BITMAP* bmp, int x, int y, int w, int h, int color, int fact) {
    if (!blend_clip(bmp, x, y, w, h) || fact <= 0) return;
    const Add32 add(static_cast<uint32_t>(color), std::min(fact, 256));
    const __m128i low3 = _mm_set1_epi32(0x00FFFFFF);
    const __m128i s = _mm_set1_epi32(static_cast<int>(add.Share()));
    for (int j = 0; j < h; j++) {
        unsigned char* p = blend_row(bmp, y + j, x * 4);
        int i = 0;
        for (; i + 4 <= w; i += 4, p += 16) {
            const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_adds_epu8(_mm_and_si128(d, low3), s));
        }
        for (; i < w; i++, p += 4) store32(p, add.One(load32(p)));
    }
}

__attribute__((target("avx2")))
void blend_rect_add_avx2_32(BITMAP* bmp, int x, int y, int w, int h, int color, int fact) {
    if (!blend_clip(bmp, x, y, w, h) || fact <= 0) return;
    const Add32 add(static_cast<uint32_t>(color), std::min(fact, 256));
    const __m256i low3 = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i s = _mm256_set1_epi32(static_cast<int>(add.Share()));
    for (int j = 0; j < h; j++) {
        unsigned char* p = blend_row(bmp, y + j, x * 4);
        int i = 0;
        for (; i + 8 <= w; i += 8, p += 32) {
            const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm256_adds_epu8(_mm256_and_si256(d, low3), s));
        }
        for (; i < w; i++, p += 4) store32(p, add.One(load32(p)));
    }
}

#else  // no x86 vector unit: the variants are the plain workers (never chosen at run time)

void blend_rect_add_sse2_15(BITMAP* b, int x, int y, int w, int h, int c, int f) { blend_rect_add_15(b, x, y, w, h, c, f); }
void blend_rect_add_sse2_16(BITMAP* b, int x, int y, int w, int h, int c, int f) { blend_rect_add_16(b, x, y, w, h, c, f); }
void blend_rect_add_sse2_32(BITMAP* b, int x, int y, int w, int h, int c, int f) { blend_rect_add_32(b, x, y, w, h, c, f); }
void blend_rect_add_avx2_15(BITMAP* b, int x, int y, int w, int h, int c, int f) { blend_rect_add_15(b, x, y, w, h, c, f); }
void blend_rect_add_avx2_16(BITMAP* b, int x, int y, int w, int h, int c, int f) { blend_rect_add_16(b, x, y, w, h, c, f); }
void blend_rect_add_avx2_32(BITMAP* b, int x, int y, int w, int h, int c, int f) { blend_rect_add_32(b, x, y, w, h, c, f); }

#endif
