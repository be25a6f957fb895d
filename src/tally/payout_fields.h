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

// The four payout fields of a record (18 bytes from p: 4, 4, 5 and 5),
// when each is blanks followed by digits. The 18 bytes from p must be
// readable and ASCII.
struct PlainPayouts {
    std::uint64_t win;
    std::uint64_t place;
    std::uint64_t quinella;
    std::uint64_t wide;
};

namespace payout_detail {

// High bit of each byte that is '0'..'9' / ' ' (bytes ASCII, so no
// addition carries into the next byte).
inline std::uint64_t DigitBytes(std::uint64_t x) {
    return (x + Bytes(0x80 - '0')) & ~(x + Bytes(0x80 - '9' - 1)) & Bytes(0x80);
}
inline std::uint64_t BlankBytes(std::uint64_t x) {
    const std::uint64_t t = x ^ Bytes(' ');
    return ~(((t & Bytes(0x7F)) + Bytes(0x7F)) | t) & Bytes(0x80);
}

// Every byte a digit or a blank, and no blank right after a digit except
// at the byte that starts a field (whose flag is in starts).
inline bool PlainWord(std::uint64_t x, std::uint64_t starts) {
    const std::uint64_t digits = DigitBytes(x);
    const std::uint64_t blanks = BlankBytes(x);
    return ((digits | blanks) == Bytes(0x80)) & ((((digits << 8) & blanks) & ~starts) == 0);
}

// Two four-digit numbers (blanks read as 0) in the low and high halves of x.
inline std::uint64_t TwoFourDigitNumbers(std::uint64_t x) {
    std::uint64_t v = (x | Bytes(0x10)) - Bytes('0');
    v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FFULL;
    return (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFULL;
}

inline std::uint64_t LoadWord32(const char* bytes) {
    std::uint32_t word;
    std::memcpy(&word, bytes, 4);
    return word;
}

}  // namespace payout_detail

// Reads the four fields into out when they are all plain; false otherwise
// (and always on big-endian machines), and out is then not to be used.
inline bool ReadPlainPayouts(const char* p, PlainPayouts& out) {
    using namespace payout_detail;
    if constexpr (std::endian::native != std::endian::little) {
        return false;
    } else {
        // Bytes 0-7 hold 単勝 and 複勝, 8-15 and 10-17 together 連勝 and ﾜｲﾄﾞ.
        const std::uint64_t a = LoadWord(p);
        const std::uint64_t b = LoadWord(p + 8);
        const std::uint64_t c = LoadWord(p + 10);
        const bool plain =
            PlainWord(a, 0x80ULL << 32) & PlainWord(b, 0x80ULL << 40) & PlainWord(c, 0x80ULL << 24);
        if (!plain) return false;
        const std::uint64_t first = TwoFourDigitNumbers(a);
        // The last four digits of 連勝 and ﾜｲﾄﾞ, and their first digits apart.
        const std::uint64_t last =
            TwoFourDigitNumbers(LoadWord32(p + 9) | LoadWord32(p + 14) << 32);
        const auto lead = [](char c) { return static_cast<std::uint64_t>((c | 0x10) - '0'); };
        out.win = first & 0xFFFFFFFF;
        out.place = first >> 32;
        out.quinella = lead(p[8]) * 10000 + (last & 0xFFFFFFFF);
        out.wide = lead(p[13]) * 10000 + (last >> 32);
        return true;
    }
}

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
