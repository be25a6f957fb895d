#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lomi {

// The packed reads of records and ticket lines take eight bytes as one
// 64-bit word whose lowest byte is the first in memory.
static_assert(std::endian::native == std::endian::little, "Lomi runs on little-endian machines");

// The record string: 0-based character positions of its fields. Characters
// 1-11 are the seven race conditions, 12-29 the four payout fields, 30 the
// filled-slot count and 31-38 the race date.
namespace record {

inline constexpr std::size_t kChars = 38;

struct Field {
    std::size_t start;
    std::size_t width;
};

inline constexpr Field kVenue{0, 2};
inline constexpr Field kRace{2, 2};
inline constexpr Field kRunners{4, 2};
inline constexpr Field kAge{6, 1};
inline constexpr Field kClass{7, 1};
inline constexpr Field kSurface{8, 1};
inline constexpr Field kDistance{9, 2};
// The seven condition fields in the order of the race conditions.
inline constexpr std::array<Field, 7> kConditionFields = {kVenue, kRace,    kRunners, kAge,
                                                          kClass, kSurface, kDistance};

// 単勝, 複勝, 連勝 and ﾜｲﾄﾞ: one 100-yen ticket's refund in units of 10 yen.
inline constexpr std::size_t kPayoutsAt = 11;
inline constexpr std::array<Field, 4> kPayoutFields = {{{11, 4}, {15, 4}, {19, 5}, {24, 5}}};
inline constexpr std::size_t kPayoutBytes = 18;

inline constexpr std::size_t kSlotCountAt = 29;
inline constexpr Field kDate{30, 8};

}  // namespace record

// Eight bytes at p as one word, the first byte lowest.
inline std::uint64_t LoadWord(const void* p) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
}

// Two bytes at p, the first lowest.
inline std::uint64_t LoadHalfWord(const void* p) {
    std::uint16_t word;
    std::memcpy(&word, p, 2);
    return word;
}

// Eight bytes at p as one number that orders as the bytes do (the first
// byte most significant), so that texts of eight bytes compare in one step.
inline std::uint64_t LoadOrderedWord(const void* p) {
#if defined(__GNUC__)
    return __builtin_bswap64(LoadWord(p));
#else
    std::uint64_t w = LoadWord(p);
    w = ((w & 0x00FF00FF00FF00FFULL) << 8) | ((w >> 8) & 0x00FF00FF00FF00FFULL);
    w = ((w & 0x0000FFFF0000FFFFULL) << 16) | ((w >> 16) & 0x0000FFFF0000FFFFULL);
    return (w << 32) | (w >> 32);
#endif
}

// The byte b in every byte of a word.
constexpr std::uint64_t RepeatByte(std::uint8_t b) { return 0x0101010101010101ULL * b; }

// The top bit of each byte of x that is a digit '0'..'9', or a blank. The
// bytes must be ASCII, so that no addition carries into the next byte.
inline std::uint64_t DigitByteTops(std::uint64_t x) {
    return (x + RepeatByte(0x80 - '0')) & ~(x + RepeatByte(0x80 - '9' - 1)) & RepeatByte(0x80);
}
inline std::uint64_t BlankByteTops(std::uint64_t x) {
    const std::uint64_t t = x ^ RepeatByte(' ');
    return ~(((t & RepeatByte(0x7F)) + RepeatByte(0x7F)) | t) & RepeatByte(0x80);
}

}  // namespace lomi
