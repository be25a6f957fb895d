#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "data/record_store.h"
#include "tally/race_conditions.h"

namespace lomi {

// The cumulative profit (payout - stake, yen) of each bet type after one
// race day.
struct ProfitPoint {
    std::string date;                    // YYYYMMDD, the records' date text
    std::array<std::int64_t, 4> profit;  // by BetType, cumulative
};

// How a pattern's profit went over the race days of a tally, in date
// order; only days with a counted race appear. The last point's profits
// are the report's. Each figure is by BetType.
struct ProfitSeries {
    std::vector<ProfitPoint> points;
    // The largest fall from a previous peak of the cumulative profit, in
    // yen; the start (0 yen, before the first day) counts as a peak.
    std::array<std::int64_t, 4> maxDrawdown{};
    // Where the largest fall ends (index into points); -1 without a fall.
    std::array<std::int64_t, 4> drawdownEnd{-1, -1, -1, -1};
    // Where that fall starts: the peak's point, or -1 for the start.
    std::array<std::int64_t, 4> drawdownStart{-1, -1, -1, -1};
    // The longest run of race days in a row without a hit.
    std::array<std::int64_t, 4> longestDaysWithoutHit{};
};

ProfitSeries BuildProfitSeries(const RecordStore& records, const RaceConditions& conditions);

}  // namespace lomi
