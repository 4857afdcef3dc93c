// The byte layout the game's files share: little-endian integers, fixed text blocks, and a reader that never runs past its bytes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

// The 32-bit little-endian integer at b.
inline uint32_t le32(const unsigned char* b) {
    return (uint32_t)b[0] | ((uint32_t)b[1] << 8) | ((uint32_t)b[2] << 16) | ((uint32_t)b[3] << 24);
}
// Stores v at b as a 32-bit little-endian integer.
inline void store_le32(unsigned char* b, uint32_t v) {
    b[0] = (unsigned char)v;
    b[1] = (unsigned char)(v >> 8);
    b[2] = (unsigned char)(v >> 16);
    b[3] = (unsigned char)(v >> 24);
}
// Appends v as a 32-bit little-endian integer.
inline void put_le32(std::string& out, uint32_t v) {
    unsigned char b[4];
    store_le32(b, v);
    out.append((const char*)b, 4);
}
// Appends a text block of `block` bytes: the text (cut at a zero byte and to block - 1
// characters), one zero byte, and spaces to the end, so the zero byte always lands inside it.
inline void put_text_block(std::string& out, const std::string& s, size_t block) {
    const size_t len = std::min(std::min(s.find('\0'), s.size()), block - 1);
    out.append(s, 0, len);
    out.push_back('\0');
    out.append(block - 1 - len, ' ');
}

// Walks the bytes of a file held in memory. Every read checks that its bytes are there; a read
// past the end yields zeros and leaves the reader failed, so a check forgotten by its caller can
// never read outside the buffer. Used by the map and saved-game decoders.
class ByteReader {
public:
    ByteReader(const unsigned char* data, size_t size) : p_(data), n_(size) {}

    bool ok() const { return ok_; }
    size_t pos() const { return pos_; }
    size_t size() const { return n_; }
    size_t left() const { return n_ - pos_; }
    // The bytes not read yet (left() of them).
    const unsigned char* here() const { return p_ + pos_; }

    // Takes n bytes: a pointer to them, or null (and the reader failed) when fewer are left.
    const unsigned char* Take(size_t n) {
        if (!ok_ || left() < n) {
            ok_ = false;
            pos_ = n_;
            return nullptr;
        }
        const unsigned char* b = p_ + pos_;
        pos_ += n;
        return b;
    }
    // Moves on to byte `to` (at most the end); used after scanning ahead with here().
    void SkipTo(size_t to) { pos_ = to < n_ ? to : n_; }

    uint32_t U32() {
        const unsigned char* b = Take(4);
        return b ? le32(b) : 0;
    }
    int I32() { return (int)U32(); }
    uint64_t U64() {
        const uint64_t lo = U32();
        return lo | ((uint64_t)U32() << 32);
    }
    unsigned char U8() {
        const unsigned char* b = Take(1);
        return b ? b[0] : 0;
    }
    // A text block of `block` bytes: the characters before its first zero byte, true; a block
    // without one gives its first block - 1 characters, false.
    bool Text(size_t block, std::string& out) {
        const unsigned char* b = Take(block);
        if (!b) {
            out.clear();
            return false;
        }
        const void* nul = memchr(b, '\0', block);
        const size_t len = nul ? (size_t)((const unsigned char*)nul - b) : block - 1;
        out.assign((const char*)b, len);
        return nul != nullptr;
    }

private:
    const unsigned char* p_;
    size_t n_;
    size_t pos_ = 0;
    bool ok_ = true;
};
