#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <string>

#include "data/program_state.h"
#include "tally/bet_type.h"

namespace lomi {

// A percentage with two decimals, halves rounded away from zero, computed
// exactly on integers (so 1/800 gives 0.13%); 0.00% when there is nothing
// to divide by, and never -0.00%.
struct Percent {
    // The ratio itself (not yet times 100) as its whole part and four
    // decimals, so that a ratio of any 64-bit sums fits.
    bool negative = false;
    std::uint64_t ratioWhole = 0;
    int ratioDecimals = 0;  // 0 to 9999

    // "#####0.00%": "80.65%", "-3.10%".
    std::string Text() const;
    // The same number, for sorting, charts and JSON.
    double Value() const;

    std::strong_ordering operator<=>(const Percent& other) const;
    bool operator==(const Percent&) const = default;
};

// numerator / denominator × 100.
Percent PercentOf(std::int64_t numerator, std::int64_t denominator);

// One bet type's line of the report, as numbers.
struct BetFigures {
    std::int64_t tickets = 0;  // 100-yen tickets bought
    std::int64_t stake = 0;    // 投票: tickets × 100 yen
    std::int64_t payout = 0;   // 払戻
    std::int64_t profit = 0;   // 損益: payout - stake
    std::int64_t hits = 0;     // races with a payout
    Percent recovery;          // 回収率: payout / stake
    Percent hitRate;           // 的中率: hits / counted races
    // 平均配当: payout / hits rounded down, 0 without a hit.
    std::int64_t averageDividend = 0;
};

// The figures of a tally: the report's, in numbers.
struct TallyFigures {
    std::int64_t totalRaces = 0;      // 総ﾚｰｽ: every loaded record
    std::int64_t extractedRaces = 0;  // 抽出ﾚｰｽ: the counted ones
    std::array<BetFigures, 4> bets;   // by BetType

    const BetFigures& Bet(BetType bet) const { return bets[Index(bet)]; }
};

// The one place the report's figures are computed. Sums at the limits of
// 64 bits stay there rather than wrapping.
TallyFigures ComputeFigures(std::int64_t totalRaces, const TallyAccumulators& tally);

// The tickets, payout and hits of one bet type in a tally: 単勝 and 複勝
// buy a ticket per counted race, 連勝 and ﾜｲﾄﾞ one per filled slot.
BetFigures ComputeBetFigures(BetType bet, const TallyAccumulators& tally);

// The same without the rates and the average (left 0): tickets, stake,
// payout, profit and hits, for figures wanted by the thousand.
BetFigures ComputeBetSums(BetType bet, const TallyAccumulators& tally);

// numerator1 / denominator1 against numerator2 / denominator2, exactly: two
// recovery rates 71.619% and 71.622% differ though both show 71.62%. Sums
// are taken as non-negative; a ratio with nothing to divide by (a
// denominator of 0) orders below every other.
std::strong_ordering CompareRatios(std::int64_t numerator1, std::int64_t denominator1,
                                   std::int64_t numerator2, std::int64_t denominator2);

}  // namespace lomi
