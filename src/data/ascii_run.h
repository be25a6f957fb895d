#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "data/record_layout.h"

namespace lomi {

// Finding bytes of 0x80 and above, eight bytes at a time: the lines and
// records of ticket files are nearly all ASCII, and an ASCII byte is one
// character in both code page 932 and UTF-8.

inline constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// The offset of the first byte at or after begin that is 0x80 or above,
// or end when there is none.
inline std::size_t AsciiRunEnd(const unsigned char* p, std::size_t begin, std::size_t end) {
    std::size_t i = begin;
    for (; i + 8 <= end; i += 8) {
        const std::uint64_t high = LoadWord(p + i) & kHighBits;
        if (high != 0) {
            return i + static_cast<std::size_t>(std::countr_zero(high)) / 8;
        }
    }
    while (i < end && p[i] < 0x80) ++i;
    return i;
}

inline bool IsAsciiBytes(const unsigned char* p, std::size_t size) {
    if (size < 8) return AsciiRunEnd(p, 0, size) == size;
    // Whole words, the last one overlapping the one before.
    std::uint64_t any = LoadWord(p + size - 8);
    for (std::size_t i = 0; i + 8 < size; i += 8) any |= LoadWord(p + i);
    return (any & kHighBits) == 0;
}

}  // namespace lomi
