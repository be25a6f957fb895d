#include "tally/plain_sums.h"

namespace lomi {

PlainCounts PlainSums::Spread(PlainCounts counts) {
    constexpr std::uint64_t kEven = 0x00FF00FF00FF00FFULL;
    evenA_ += counts.digitsA & kEven;
    oddA_ += (counts.digitsA >> 8) & kEven;
    evenB_ += counts.digitsB & kEven;
    oddB_ += (counts.digitsB >> 8) & kEven;
    tensC_ += counts.digitsC & 0xFF;
    onesC_ += counts.digitsC >> 8;
    counts.digitsA = counts.digitsB = counts.digitsC = 0;
    if (++spreads_ == 4096 / 16) Total();
    return counts;
}

void PlainSums::MoveInto(PlainCounts& counts, TallyAccumulators& tally) {
    if (counts.races == 0) return;
    counts = Spread(counts);
    Total();
    const auto whole = [](std::uint64_t v) { return static_cast<std::int64_t>(v); };
    tally.ExtractedRaces += whole(counts.races);
    tally.PairTickets += whole(counts.pairTickets);
    tally.WinPayout = SaturatingAdd(tally.WinPayout, whole(win_) * 10);
    tally.PlacePayout = SaturatingAdd(tally.PlacePayout, whole(place_) * 10);
    tally.QuinellaPayout = SaturatingAdd(tally.QuinellaPayout, whole(quinella_) * 10);
    tally.WidePayout = SaturatingAdd(tally.WidePayout, whole(wide_) * 10);
    tally.WinHits += whole(counts.winPlaceHits & 0xFFFFFFFF);
    tally.PlaceHits += whole(counts.winPlaceHits >> 32);
    tally.QuinellaHits += whole(counts.quinellaHits);
    tally.WideHits += whole(counts.wideHits);
    counts = {};
    *this = {};
}

// The digit sums of each byte position, weighted by its place, into the
// sums of the fields.
void PlainSums::Total() {
    const auto lane = [](std::uint64_t even, std::uint64_t odd, int byte) {
        return ((byte % 2 == 0 ? even : odd) >> (16 * (byte / 2))) & 0xFFFF;
    };
    std::uint64_t digits[10];  // payout bytes 0-7, then 8-9 of 連勝 and ﾜｲﾄﾞ
    for (int byte = 0; byte < 8; ++byte) digits[byte] = lane(evenA_, oddA_, byte);
    win_ += digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3];
    place_ += digits[4] * 1000 + digits[5] * 100 + digits[6] * 10 + digits[7];
    for (int byte = 0; byte < 8; ++byte) digits[byte] = lane(evenB_, oddB_, byte);
    digits[8] = tensC_;
    digits[9] = onesC_;
    quinella_ +=
        digits[0] * 10000 + digits[1] * 1000 + digits[2] * 100 + digits[3] * 10 + digits[4];
    wide_ += digits[5] * 10000 + digits[6] * 1000 + digits[7] * 100 + digits[8] * 10 + digits[9];
    evenA_ = oddA_ = evenB_ = oddB_ = tensC_ = onesC_ = 0;
    spreads_ = 0;
}

}  // namespace lomi
