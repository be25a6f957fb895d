#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "tally/saturating.h"

namespace lomi {

// Reading the payout fields of a record into the tally sums: a field holds
// the refund of one 100-yen ticket in units of 10 yen, so it adds ten times
// its numeric value to the payout, and a value above 0 is a hit.

// One payout field (at most five characters) into its sums. Digits and
// blanks, blanks anywhere being ignored, are read exactly here; anything
// else takes the general numeric reading.
void AddPayoutField(std::string_view field, std::int64_t& payout, std::int64_t& hits);

// payout becomes v × 10 + payout, rounded to the nearest integer with
// halves to the even neighbour; a v above 0 is a hit.
void AddPayoutValue(double v, std::int64_t& payout, std::int64_t& hits);

namespace payout_detail {

inline std::uint64_t LoadWord(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, 8);
    return word;
}

constexpr std::uint64_t Bytes(std::uint8_t b) { return 0x0101010101010101ULL * b; }

// The value of a right-aligned field (blanks, then digits) of Width bytes
// at p, read as one 64-bit word and converted all at once, with no branch
// per byte: real fields mix blanks and digits unpredictably. False for any
// other field, and always on big-endian machines.
template <std::size_t Width>
bool ReadRightAligned(const char* p, std::int64_t& value) {
    static_assert(Width >= 1 && Width <= 8);
    if constexpr (std::endian::native != std::endian::little) {
        return false;
    } else {
        constexpr std::uint64_t kField = Width == 8 ? ~0ULL : (1ULL << (8 * Width)) - 1;
        constexpr std::uint64_t kHigh = Bytes(0x80) & kField;
        const std::uint64_t x = LoadWord(p) & kField;
        // High bit of each byte set for '0'..'9', and for a blank (bytes are
        // ASCII, so no addition carries into the next byte).
        const std::uint64_t digits = (x + Bytes(0x80 - '0')) & ~(x + Bytes(0x80 - '9' - 1)) & kHigh;
        const std::uint64_t t = x ^ Bytes(' ');
        const std::uint64_t blanks = ~(((t & Bytes(0x7F)) + Bytes(0x7F)) | t) & kHigh;
        // Every byte a blank or a digit, and no blank after a digit.
        if ((digits | blanks) != kHigh || ((digits << 8) & blanks) != 0) return false;
        // Blanks become zeros; the digits move to the top of the word, an
        // eight-digit number with leading zeros, and are combined in pairs,
        // fours and eights.
        std::uint64_t v = ((x | Bytes(0x10)) - Bytes('0')) & kField;
        v <<= 8 * (8 - Width);
        v = v * 10 + (v >> 8);
        v = (((v & 0x000000FF000000FFULL) * (100 + (1000000ULL << 32))) +
             (((v >> 16) & 0x000000FF000000FFULL) * (1 + (10000ULL << 32)))) >>
            32;
        value = static_cast<std::int64_t>(v);
        return true;
    }
}

}  // namespace payout_detail

// AddPayoutField for a field of Width bytes at p whose eight bytes from p
// on are readable and ASCII. The usual right-aligned field is read on a
// fast road; any other goes to AddPayoutField.
template <std::size_t Width>
void AddRightAlignedPayoutField(const char* p, std::int64_t& payout, std::int64_t& hits) {
    std::int64_t value = 0;
    if (!payout_detail::ReadRightAligned<Width>(p, value)) {
        AddPayoutField(std::string_view(p, Width), payout, hits);
        return;
    }
    payout = SaturatingAdd(payout, value * 10);
    hits += value > 0;
}

}  // namespace lomi
