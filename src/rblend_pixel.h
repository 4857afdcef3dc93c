// Pixel arithmetic of the rectangle fills, shared by the plain workers and the tails of the SIMD variants.
#pragma once

#include <cstdint>
#include <cstring>

namespace rblend {

// Rows may start at any pixel, so wider words go through memcpy (one unaligned move, no aliasing trouble).
inline uint32_t load32(const unsigned char* p) { uint32_t v; std::memcpy(&v, p, 4); return v; }
inline void store32(unsigned char* p, uint32_t v) { std::memcpy(p, &v, 4); }
inline uint64_t load64(const unsigned char* p) { uint64_t v; std::memcpy(&v, p, 8); return v; }
inline void store64(unsigned char* p, uint64_t v) { std::memcpy(p, &v, 8); }
inline uint32_t load16(const unsigned char* p) { uint16_t v; std::memcpy(&v, p, 2); return v; }
inline void store16(unsigned char* p, uint32_t v) { uint16_t s = static_cast<uint16_t>(v); std::memcpy(p, &s, 2); }

// Translucent mix of 15/16-bit pixels, f of 32 parts colour. HI and LO split a pixel pair (one
// pixel in each half) into two words with gaps between the components, so one multiply scales
// three components. Each component becomes (dest * (32 - f)) / 32 + (colour * f) / 32.
// Quad does the same to two pairs in a 64-bit word: each half's product stays inside its own
// 32 bits, and what the shift moves from the upper half into the lower one is masked off.
template <uint32_t HI, uint32_t LO>
struct TransPacked {
    static constexpr uint32_t HI1 = HI & 0xFFFF, LO1 = LO & 0xFFFF;
    static constexpr uint64_t HI2 = uint64_t(HI) << 32 | HI, LO2 = uint64_t(LO) << 32 | LO;
    uint32_t hi, lo, g;
    uint64_t hi2, lo2;
    TransPacked(uint32_t color, uint32_t f) : g(32 - f) {
        const uint32_t c = color | (color << 16);
        hi = (((c & HI) >> 5) * f) & HI;
        lo = (((c & LO) * f) >> 5) & LO;
        hi2 = uint64_t(hi) << 32 | hi;
        lo2 = uint64_t(lo) << 32 | lo;
    }
    // Four pixels in one 64-bit word.
    uint64_t Quad(uint64_t d) const {
        return ((((((d & HI2) >> 5) * g) & HI2) + hi2) & HI2) |
               ((((((d & LO2) * g) >> 5) & LO2) + lo2) & LO2);
    }
    // Two pixels in one word.
    uint32_t Pair(uint32_t d) const {
        return ((((((d & HI) >> 5) * g) & HI) + hi) & HI) |
               ((((((d & LO) * g) >> 5) & LO) + lo) & LO);
    }
    // One pixel (the odd one at the end of a row).
    uint32_t One(uint32_t p) const {
        return ((((p & HI1) >> 5) * g + hi) & HI1) | (((((p & LO1) * g) >> 5) + lo) & LO1);
    }
    // The colour's share of every component, in pixel layout.
    uint32_t Share() const { return (hi & HI1) | (lo & LO1); }
};
using Trans16 = TransPacked<0xF81F07E0u, 0x07E0F81Fu>;
using Trans15 = TransPacked<0x7C1F03E0u, 0x03E07C1Fu>;

// Translucent mix of 32-bit pixels, f of 256 parts colour; red and blue share one multiply.
struct Trans32 {
    uint32_t rb, gg, g;
    Trans32(uint32_t color, uint32_t f) : g(256 - f) {
        rb = ((color & 0xFF00FFu) * f >> 8) & 0xFF00FFu;
        gg = ((color & 0xFF00u) * f >> 8) & 0xFF00u;
    }
    uint32_t One(uint32_t d) const {
        return (((((d & 0xFF00u) * g) >> 8) + gg) & 0xFF00u) |
               (((((d & 0xFF00FFu) * g) >> 8) + rb) & 0xFF00FFu);
    }
    uint32_t Share() const { return rb | gg; }
};

// Saturating add of 15/16-bit pixels, colour scaled by f of 32. M spreads a pixel over a word
// (green in the upper half) with one spare bit above each component; O holds those carry bits.
// At 16 bits only green's top five bits take part, so green's lowest bit comes out 0.
template <uint32_t M, uint32_t O>
struct AddPacked {
    uint32_t s;
    AddPacked(uint32_t color, uint32_t f) {
        s = (color | (color << 16)) & M;
        if (f != 32) s = ((s * f) >> 5) & M;
    }
    uint32_t One(uint32_t p) const {
        uint32_t t = ((p | (p << 16)) & M) + s;
        const uint32_t o = t & O;
        t = (t | (o - (o >> 5))) & M;  // an overflowed component becomes all ones
        return ((t >> 16) | t) & 0xFFFFu;
    }
};
using Add16 = AddPacked<0x07C0F81Fu, 0x08010020u>;
using Add15 = AddPacked<0x03E07C1Fu, 0x04008020u>;

// Saturating add of 32-bit pixels, colour scaled by f of 256 (256: the colour as it is).
struct Add32 {
    uint32_t s;
    Add32(uint32_t color, uint32_t f) {
        if (f != 256)
            s = (((color & 0xFF00FFu) * f >> 8) & 0xFF00FFu) | (((color & 0xFF00u) * f >> 8) & 0xFF00u);
        else
            s = color;
    }
    uint32_t One(uint32_t d) const {
        const uint32_t sum = (d & 0x7F7F7Fu) + (s & 0x7F7F7Fu);
        const uint32_t tb = d & 0x808080u, sb = s & 0x808080u;
        const uint32_t over = ((tb & sb) | ((tb | sb) & sum)) & 0x808080u;
        const uint32_t full = (over << 1) - (over >> 7);  // 0xFF in every byte that overflowed
        return sum | tb | sb | full;
    }
    // The added colour as three bytes (the top byte never takes part).
    uint32_t Share() const { return s & 0xFFFFFFu; }
};

}  // namespace rblend
