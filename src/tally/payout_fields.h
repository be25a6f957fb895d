#pragma once

#include <cstdint>
#include <string_view>

#include "data/record_layout.h"

namespace lomi {

// A payout field holds the refund of one 100-yen ticket in units of 10 yen:
// it adds ten times its numeric value to the payout, and a value above 0 is
// a hit. Nearly every field is blanks and digits, a whole number; any other
// field takes the general numeric reading, whose value may be fractional
// or negative and is rounded on the running total.
struct PayoutValue {
    bool whole = true;
    std::int64_t units = 0;  // the value, when whole
    double value = 0;        // the value, when not
};

// One payout field (at most five characters). Digits and blanks, blanks
// and tabs anywhere being ignored, read as a whole number; anything else
// takes the general numeric reading.
PayoutValue ReadPayoutField(std::string_view field);

// payout becomes v × 10 + payout, rounded to the nearest integer with
// halves to the even neighbour; a v above 0 is a hit.
void AddPayoutValue(double v, std::int64_t& payout, std::int64_t& hits);

// The value of a right-aligned field of Width bytes at p that is known to
// be blanks followed by digits (a plain record's), with the eight bytes
// from p on readable. One word converted at once, with no branch per byte:
// real fields mix blanks and digits unpredictably.
template <std::size_t Width>
std::int64_t RightAlignedDigits(const char* p) {
    static_assert(Width >= 1 && Width <= 8);
    constexpr std::uint64_t kField = Width == 8 ? ~0ULL : (1ULL << (8 * Width)) - 1;
    const std::uint64_t x = LoadWord(p) & kField;
    // Blanks become zeros; the digits move to the top of the word, an
    // eight-digit number with leading zeros, and are combined in pairs,
    // fours and eights.
    std::uint64_t v = ((x | RepeatByte(0x10)) - RepeatByte('0')) & kField;
    v <<= 8 * (8 - Width);
    v = v * 10 + (v >> 8);
    v = (((v & 0x000000FF000000FFULL) * (100 + (1000000ULL << 32))) +
         (((v >> 16) & 0x000000FF000000FFULL) * (1 + (10000ULL << 32)))) >>
        32;
    return static_cast<std::int64_t>(v);
}

}  // namespace lomi
