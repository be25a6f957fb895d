#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tally/bet_type.h"
#include "tally/figures.h"

namespace lomi {

// The figures of one part of a ranked pattern's period: its tally, the
// sums of each race day, and what they tell about each bet type.

// What ranks a bet type beside the report's figures.
struct BetSpread {
    // The race days that add to the bet's stake or payout: the samples of
    // the interval, since the races of a day move together.
    std::int64_t days = 0;
    // Standard error of the recovery (a ratio, not percent); 0 without an
    // interval.
    double standardError = 0;
    // 95% interval of the recovery rate in percent (EstimateRatioInterval
    // over the race days), the lower end never below 0; nothing with fewer
    // than two days or no spread.
    std::optional<double> recoveryLow;
    std::optional<double> recoveryHigh;
    // Set by the patterns ranked beside this one (SetFamilyFigures), for
    // the earlier part only: the lower end corrected for the patterns
    // tried and whether it is above 100%; the recovery to expect from now
    // on (percent) and the probability that it is above 100%.
    std::optional<double> recoveryLowAdjusted;
    bool significant = false;
    std::optional<double> expectedRecovery;
    std::optional<double> probabilityAbove100;
    // The largest fall of the cumulative profit taken after each race day,
    // days in date order; yen.
    std::int64_t maxDrawdown = 0;
};

// The sums of one race day's counted races of a pattern: the drawdown
// follows them, and the estimate of overfitting folds them into blocks.
struct RaceDaySums {
    // The date text's first eight bytes, big-endian, the bytes a shorter
    // text lacks as zeros: orders as the text does.
    std::uint64_t date = 0;
    std::int32_t races = 0;
    std::int32_t pairTickets = 0;
    std::array<std::int64_t, 4> payout{};  // yen, by BetType

    // The day's stake and payout of bet (hits left 0), as a tally counts them.
    BetFigures Bet(BetType bet) const;
    // The date's text again (YYYYMMDD for the usual eight bytes).
    std::string DateText() const;
};

// The counted races of one part of the period (all of it without a split).
struct RankedPart {
    std::int64_t recordCount = 0;  // loaded records dated in this part
    TallyAccumulators tally;
    TallyFigures figures;              // ComputeFigures(recordCount, tally)
    std::array<BetSpread, 4> spreads;  // by BetType
    std::vector<RaceDaySums> days;     // in date order, one per date

    const BetSpread& Spread(BetType bet) const { return spreads[Index(bet)]; }
};

// The part's spreads from its days: each bet type's interval over the race
// days and its largest drawdown.
void ComputeSpreads(RankedPart& part);

}  // namespace lomi
