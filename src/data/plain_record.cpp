#include "data/plain_record.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace lomi {
namespace {

constexpr std::size_t kRecordBytes = 38;
constexpr std::size_t kPayoutsAt = 11;
constexpr std::size_t kSlotCountAt = 29;

constexpr std::uint64_t Bytes(std::uint8_t b) { return 0x0101010101010101ULL * b; }

std::uint64_t Load64(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, 8);
    return word;
}

// The high bit of each byte that is a digit, or a blank. Bytes must be
// ASCII, so no addition carries into the next byte.
std::uint64_t DigitBytes(std::uint64_t x) {
    return (x + Bytes(0x80 - '0')) & ~(x + Bytes(0x80 - '9' - 1)) & Bytes(0x80);
}
std::uint64_t BlankBytes(std::uint64_t x) {
    const std::uint64_t t = x ^ Bytes(' ');
    return ~(((t & Bytes(0x7F)) + Bytes(0x7F)) | t) & Bytes(0x80);
}

// Every byte of x a digit or a blank, and no blank right after a digit
// except at the bytes that start a field (their high bits in starts).
// Little-endian: byte k of memory is byte k of x.
bool PlainWord(std::uint64_t x, std::uint64_t starts) {
    const std::uint64_t digits = DigitBytes(x);
    const std::uint64_t blanks = BlankBytes(x);
    return ((digits | blanks) == Bytes(0x80)) & ((((digits << 8) & blanks) & ~starts) == 0);
}

}  // namespace

bool IsPlainRecord(std::string_view record) {
    if constexpr (std::endian::native != std::endian::little) {
        return false;
    } else {
        if (record.size() != kRecordBytes) return false;
        const char* p = record.data();
        // Five overlapping words cover bytes 0-37.
        const std::uint64_t any = Load64(p) | Load64(p + 8) | Load64(p + 16) | Load64(p + 24) |
                                  Load64(p + kRecordBytes - 8);
        if ((any & Bytes(0x80)) != 0) return false;
        if (p[kSlotCountAt] < '0' || p[kSlotCountAt] > '9') return false;
        // Fields start at payout bytes 0 (単勝), 4 (複勝), 8 (連勝) and 13
        // (ﾜｲﾄﾞ); three words cover the 18 bytes.
        const char* payouts = p + kPayoutsAt;
        return PlainWord(Load64(payouts), 0x80ULL << 32) &
               PlainWord(Load64(payouts + 8), 0x80ULL << 40) &
               PlainWord(Load64(payouts + 10), 0x80ULL << 24);
    }
}

}  // namespace lomi
