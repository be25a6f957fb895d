#include "analysis/profit_series.h"

#include <algorithm>
#include <numeric>

#include "analysis/drawdown.h"
#include "analysis/grouped_tally.h"
#include "tally/bet_type.h"
#include "tally/figures.h"

namespace lomi {

ProfitSeries BuildProfitSeries(const RecordStore& records, const RaceConditions& conditions) {
    const FieldGroups days = TallyByField(records, conditions, record::kDate, false);
    std::vector<std::size_t> order(days.keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return days.keys[a] < days.keys[b]; });

    ProfitSeries series;
    std::array<DrawdownTracker, 4> falls;
    std::array<std::int64_t, 4> dryRun{};
    for (const std::size_t day : order) {
        const auto at = static_cast<std::int64_t>(series.points.size());
        std::array<std::int64_t, 4> profit{};
        for (const BetType bet : kBetTypes) {
            const std::size_t k = Index(bet);
            const BetFigures figures = ComputeBetSums(bet, days.tallies[day]);
            falls[k].Step(figures.profit, at);
            profit[k] = falls[k].profit;
            dryRun[k] = figures.hits > 0 ? 0 : dryRun[k] + 1;
            series.longestDaysWithoutHit[k] = std::max(series.longestDaysWithoutHit[k], dryRun[k]);
        }
        series.points.push_back({days.keys[day], profit});
    }
    for (std::size_t k = 0; k < 4; ++k) {
        series.maxDrawdown[k] = falls[k].deepest;
        series.drawdownStart[k] = falls[k].start;
        series.drawdownEnd[k] = falls[k].end;
    }
    return series;
}

}  // namespace lomi
