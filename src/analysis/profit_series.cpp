#include "analysis/profit_series.h"

#include <algorithm>
#include <numeric>

#include "analysis/grouped_tally.h"
#include "tally/bet_type.h"
#include "tally/figures.h"
#include "tally/saturating.h"

namespace lomi {

ProfitSeries BuildProfitSeries(const RecordStore& records, const RaceConditions& conditions) {
    const FieldGroups days = TallyByField(records, conditions, record::kDate, false);
    std::vector<std::size_t> order(days.keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return days.keys[a] < days.keys[b]; });

    ProfitSeries series;
    std::array<std::int64_t, 4> profit{};
    std::array<std::int64_t, 4> peak{};
    std::array<std::int64_t, 4> peakAt{-1, -1, -1, -1};
    std::array<std::int64_t, 4> dryRun{};
    for (const std::size_t day : order) {
        const auto at = static_cast<std::int64_t>(series.points.size());
        for (const BetType bet : kBetTypes) {
            const std::size_t k = Index(bet);
            const BetFigures figures = ComputeBetSums(bet, days.tallies[day]);
            profit[k] = SaturatingAdd(profit[k], figures.profit);
            if (profit[k] > peak[k]) {
                peak[k] = profit[k];
                peakAt[k] = at;
            }
            const std::int64_t fall = SaturatingSub(peak[k], profit[k]);
            if (fall > series.maxDrawdown[k]) {
                series.maxDrawdown[k] = fall;
                series.drawdownStart[k] = peakAt[k];
                series.drawdownEnd[k] = at;
            }
            dryRun[k] = figures.hits > 0 ? 0 : dryRun[k] + 1;
            series.longestDaysWithoutHit[k] = std::max(series.longestDaysWithoutHit[k], dryRun[k]);
        }
        series.points.push_back({days.keys[day], profit});
    }
    return series;
}

}  // namespace lomi
