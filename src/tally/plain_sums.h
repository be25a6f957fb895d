#pragma once

#include <cstdint>

#include "data/force_inline.h"
#include "data/program_state.h"
#include "data/record_layout.h"
#include "tally/saturating.h"

namespace lomi {

// Summing plain records (IsPlainRecord) that count, for the tally of a
// million records in a few milliseconds. Their payout fields are blanks
// and digits, whose low four bits are 0 and the digit: the digits of each
// byte position are summed in byte lanes and weighted by their place only
// once in a while, instead of turning every field into a number. Values are
// whole and not negative, so adding their total at once gives exactly what
// adding them one by one does.

// What was counted lately: the few figures every counted record touches, a
// small object the compiler keeps in registers. Byte lanes hold the digit
// sums of 16 records (16 × 9 < 256).
struct PlainCounts {
    LOMI_ALWAYS_INLINE void Count(const char* p) {
        constexpr std::uint64_t kLowNibbles = 0x0F0F0F0F0F0F0F0FULL;
        const char* payouts = p + record::kPayoutsAt;
        const std::uint64_t a = LoadWord(payouts) & kLowNibbles;      // 単勝 0-3, 複勝 4-7
        const std::uint64_t b = LoadWord(payouts + 8) & kLowNibbles;  // 連勝 0-4, ﾜｲﾄﾞ 5-7
        const std::uint64_t c = LoadHalfWord(payouts + 16) & 0x0F0F;  // ﾜｲﾄﾞ 8-9
        digitsA += a;
        digitsB += b;
        digitsC += c;
        // A field is a hit when any of its digits is not 0. The halves of a
        // are below 2^31, so adding 2^31 - 1 sets each top bit exactly then.
        winPlaceHits += ((a + 0x7FFFFFFF7FFFFFFFULL) & 0x8000000080000000ULL) >> 31;
        quinellaHits += (b & 0xFFFFFFFFFFULL) != 0;
        wideHits += ((b >> 40) | c) != 0;
        pairTickets += static_cast<std::uint64_t>(p[record::kSlotCountAt] - '0');  // a digit
        races += 1;
    }

    std::uint64_t races = 0;
    std::uint64_t pairTickets = 0;
    std::uint64_t digitsA = 0, digitsB = 0, digitsC = 0;
    std::uint64_t winPlaceHits = 0;  // win hits in the low half, place hits in the high
    std::uint64_t quinellaHits = 0, wideHits = 0;
};

// The sums beyond PlainCounts: digit sums in 16-bit lanes, which hold those
// of 4096 records (4096 × 9 < 65536), then the sums of the fields. Touched
// once in 16 records.
class PlainSums {
public:
    // Counts the plain record at p into counts; every 16th record, before
    // the byte lanes of counts can overflow, they move into these sums.
    LOMI_ALWAYS_INLINE void Count(PlainCounts& counts, const char* p) {
        counts.Count(p);
        if (counts.races % 16 == 0) counts = Spread(counts);
    }

    // Everything counted so far into the accumulators; counts and sums
    // start again from 0. Called before a value that is not whole is added
    // to the accumulators, so that it is rounded on the true running total.
    void MoveInto(PlainCounts& counts, TallyAccumulators& tally);

private:
    // Takes the byte lanes of counts and gives them back at 0. Counts pass
    // by value and return, so that a caller's loop keeps them in registers.
    LOMI_NOINLINE PlainCounts Spread(PlainCounts counts);
    void Total();

    std::uint64_t evenA_ = 0, oddA_ = 0, evenB_ = 0, oddB_ = 0, tensC_ = 0, onesC_ = 0;
    int spreads_ = 0;
    std::uint64_t win_ = 0, place_ = 0, quinella_ = 0, wide_ = 0;
};

}  // namespace lomi
