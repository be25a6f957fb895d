#include "data/plain_record.h"

#include <cstdint>

#include "data/record_layout.h"

namespace lomi {
namespace {

// Every byte of x a digit or a blank, and no blank right after a digit
// except at the bytes that start a field (their top bits in starts).
bool PlainWord(std::uint64_t x, std::uint64_t starts) {
    const std::uint64_t digits = DigitByteTops(x);
    const std::uint64_t blanks = BlankByteTops(x);
    return ((digits | blanks) == RepeatByte(0x80)) & ((((digits << 8) & blanks) & ~starts) == 0);
}

}  // namespace

bool IsPlainRecord(std::string_view text) {
    if (text.size() != record::kChars) return false;
    const char* p = text.data();
    // Five overlapping words cover bytes 0-37.
    const std::uint64_t any = LoadWord(p) | LoadWord(p + 8) | LoadWord(p + 16) | LoadWord(p + 24) |
                              LoadWord(p + record::kChars - 8);
    if ((any & RepeatByte(0x80)) != 0) return false;
    const char slots = p[record::kSlotCountAt];
    if (slots < '0' || slots > '9') return false;
    // Fields start at payout bytes 0 (単勝), 4 (複勝), 8 (連勝) and 13
    // (ﾜｲﾄﾞ); three words cover the 18 bytes.
    const char* payouts = p + record::kPayoutsAt;
    return PlainWord(LoadWord(payouts), 0x80ULL << 32) &
           PlainWord(LoadWord(payouts + 8), 0x80ULL << 40) &
           PlainWord(LoadWord(payouts + 10), 0x80ULL << 24);
}

}  // namespace lomi
