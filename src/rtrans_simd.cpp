// Translucent rectangle fill: SSE2 and AVX2 variants of the workers, pixel for pixel equal to the plain ones.
#include <algorithm>
#include <cstdint>

#include "rblend.h"
#include "rblend_pixel.h"
#include "rtrans.h"

using namespace rblend;

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

// Each 15/16-bit pixel is worked in its own 16-bit lane (a 32-bit pixel in two), as
// (dest * g) / 32 (or / 256) per component, then the colour's share, computed once by the plain
// code, is added: the same two truncations as the plain workers, so the pixels are identical. Row ends left over from the vector loop go
// through the plain pixel code.

namespace {

// Lane masks of the 15/16-bit mix: red with blue, and green.
struct Layout16 { uint16_t rbmask, gmask; };
constexpr Layout16 kLayout16 = {0xF81F, 0x07E0};
constexpr Layout16 kLayout15 = {0x7C1F, 0x03E0};

template <typename Mix>
__attribute__((target("sse2")))
void trans_sse2_packed(BITMAP* bmp, int x, int y, int w, int h, uint32_t color, uint32_t f, Layout16 lay) {
    const Mix mix(color, f);
    const __m128i rbmask = _mm_set1_epi16(static_cast<short>(lay.rbmask));
    const __m128i gmask = _mm_set1_epi16(static_cast<short>(lay.gmask));
    // The high half of a product with g << 11 scales and divides at once: for green,
    // (gr << 5) * (g << 11) >> 16 is gr * g with its top bits (the division by 32) in green's
    // place. Red and blue share one product: red's part, r * g above bit 5 (6 at 16 bits), is a
    // whole multiple of 65536 before the shift, so blue's (b * g) / 32 lands below it without
    // a carry. The masks then drop what the division throws away.
    const __m128i g_hi = _mm_set1_epi16(static_cast<short>(mix.g << 11));
    const __m128i share = _mm_set1_epi16(static_cast<short>(mix.Share()));
    for (int j = 0; j < h; j++) {
        unsigned char* p = blend_row(bmp, y + j, x * 2);
        int i = 0;
        for (; i + 8 <= w; i += 8, p += 16) {
            const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i rb = _mm_and_si128(_mm_mulhi_epu16(_mm_and_si128(d, rbmask), g_hi), rbmask);
            const __m128i gr = _mm_and_si128(_mm_mulhi_epu16(_mm_and_si128(d, gmask), g_hi), gmask);
            const __m128i out = _mm_add_epi16(_mm_or_si128(rb, gr), share);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p), out);
        }
        for (; i < w; i++, p += 2) store16(p, mix.One(load16(p)));
    }
}

template <typename Mix>
__attribute__((target("avx2")))
void trans_avx2_packed(BITMAP* bmp, int x, int y, int w, int h, uint32_t color, uint32_t f, Layout16 lay) {
    const Mix mix(color, f);
    const __m256i rbmask = _mm256_set1_epi16(static_cast<short>(lay.rbmask));
    const __m256i gmask = _mm256_set1_epi16(static_cast<short>(lay.gmask));
    const __m256i g_hi = _mm256_set1_epi16(static_cast<short>(mix.g << 11));
    const __m256i share = _mm256_set1_epi16(static_cast<short>(mix.Share()));
    for (int j = 0; j < h; j++) {
        unsigned char* p = blend_row(bmp, y + j, x * 2);
        int i = 0;
        for (; i + 16 <= w; i += 16, p += 32) {
            const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
            const __m256i rb = _mm256_and_si256(_mm256_mulhi_epu16(_mm256_and_si256(d, rbmask), g_hi), rbmask);
            const __m256i gr = _mm256_and_si256(_mm256_mulhi_epu16(_mm256_and_si256(d, gmask), g_hi), gmask);
            const __m256i out = _mm256_add_epi16(_mm256_or_si256(rb, gr), share);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), out);
        }
        for (; i < w; i++, p += 2) store16(p, mix.One(load16(p)));
    }
}

}  // namespace

__attribute__((target("sse2")))
void blend_rect_trans_sse2_15(BITMAP* bmp, int x, int y, int w, int h, int color, int fact) {
    if (!blend_clip(bmp, x, y, w, h) || fact <= 0) return;
    trans_sse2_packed<Trans15>(bmp, x, y, w, h, color & 0x7FFF, std::min(fact, 32), kLayout15);
}

__attribute__((target("sse2")))
void blend_rect_trans_sse2_16(BITMAP* bmp, int x, int y, int w, int h, int color, int fact) {
    if (!blend_clip(bmp, x, y, w, h) || fact <= 0) return;
    trans_sse2_packed<Trans16>(bmp, x, y, w, h, color & 0xFFFF, std::min(fact, 32), kLayout16);
}

__attribute__((target("avx2")))
void blend_rect_trans_avx2_15(BITMAP* bmp, int x, int y, int w, int h, int color, int fact) {
    if (!blend_clip(bmp, x, y, w, h) || fact <= 0) return;
    trans_avx2_packed<Trans15>(bmp, x, y, w, h, color & 0x7FFF, std::min(fact, 32), kLayout15);
}

__attribute__((target("avx2")))
void blend_rect_trans_avx2_16(BITMAP* bmp, int x, int y, int w, int h, int color, int fact) {
    if (!blend_clip(bmp, x, y, w, h) || fact <= 0) return;
    trans_avx2_packed<Trans16>(bmp, x, y, w, h, color & 0xFFFF, std::min(fact, 32), kLayout16);
}

// 32 bits: red and blue sit in the two 16-bit lanes of a pixel and green in the low lane's top
// byte; the high half of a product with g << 8 gives (r * g) / 256 and (b * g) / 256 in place,
// and g8 * g for green, whose top byte is then the green result in place.
__attribute__((target("sse2")))
void blend_rect_trans_sse2_32(BITMAP* bmp, int x, int y, int w, int h, int color, int fact) {
    if (!blend_clip(bmp, x, y, w, h) || fact <= 0) return;
    const Trans32 mix(static_cast<uint32_t>(color), std::min(fact, 256));
    const __m128i rbmask = _mm_set1_epi32(0x00FF00FF);
    const __m128i gmask = _mm_set1_epi32(0x0000FF00);
    const __m128i g_hi = _mm_set1_epi16(static_cast<short>(mix.g << 8));
    const __m128i share = _mm_set1_epi32(static_cast<int>(mix.Share()));
    for (int j = 0; j < h; j++) {
        unsigned char* p = blend_row(bmp, y + j, x * 4);
        int i = 0;
        for (; i + 4 <= w; i += 4, p += 16) {
            const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i rb = _mm_mulhi_epu16(_mm_and_si128(d, rbmask), g_hi);
            const __m128i gr = _mm_and_si128(_mm_mulhi_epu16(_mm_and_si128(d, gmask), g_hi), gmask);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_add_epi32(_mm_or_si128(rb, gr), share));
        }
        for (; i < w; i++, p += 4) store32(p, mix.One(load32(p)));
    }
}

__attribute__((target("avx2")))
void blend_rect_trans_avx2_32(BITMAP* bmp, int x, int y, int w, int h, int color, int fact) {
    if (!blend_clip(bmp, x, y, w, h) || fact <= 0) return;
    const Trans32 mix(static_cast<uint32_t>(color), std::min(fact, 256));
    const __m256i rbmask = _mm256_set1_epi32(0x00FF00FF);
    const __m256i gmask = _mm256_set1_epi32(0x0000FF00);
    const __m256i g_hi = _mm256_set1_epi16(static_cast<short>(mix.g << 8));
    const __m256i share = _mm256_set1_epi32(static_cast<int>(mix.Share()));
    for (int j = 0; j < h; j++) {
        unsigned char* p = blend_row(bmp, y + j, x * 4);
        int i = 0;
        for (; i + 8 <= w; i += 8, p += 32) {
            const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
            const __m256i rb = _mm256_mulhi_epu16(_mm256_and_si256(d, rbmask), g_hi);
            const __m256i gr = _mm256_and_si256(_mm256_mulhi_epu16(_mm256_and_si256(d, gmask), g_hi), gmask);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm256_add_epi32(_mm256_or_si256(rb, gr), share));
        }
        for (; i < w; i++, p += 4) store32(p, mix.One(load32(p)));
    }
}

#else  // no x86 vector unit: the variants are the plain workers (never chosen at run time)

void blend_rect_trans_sse2_15(BITMAP* b, int x, int y, int w, int h, int c, int f) { blend_rect_trans_15(b, x, y, w, h, c, f); }
void blend_rect_trans_sse2_16(BITMAP* b, int x, int y, int w, int h, int c, int f) { blend_rect_trans_16(b, x, y, w, h, c, f); }
void blend_rect_trans_sse2_32(BITMAP* b, int x, int y, int w, int h, int c, int f) { blend_rect_trans_32(b, x, y, w, h, c, f); }
void blend_rect_trans_avx2_15(BITMAP* b, int x, int y, int w, int h, int c, int f) { blend_rect_trans_15(b, x, y, w, h, c, f); }
void blend_rect_trans_avx2_16(BITMAP* b, int x, int y, int w, int h, int c, int f) { blend_rect_trans_16(b, x, y, w, h, c, f); }
void blend_rect_trans_avx2_32(BITMAP* b, int x, int y, int w, int h, int c, int f) { blend_rect_trans_32(b, x, y, w, h, c, f); }

#endif
