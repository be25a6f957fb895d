// The cumulative profit per race day: its steps are the tallies of the
// days, its end the report, and the drawdown and dry runs those of the
// steps.

#include <gtest/gtest.h>

#include <algorithm>

#include "analysis/profit_series.h"
#include "record_mix.h"
#include "tally/figures.h"
#include "tally/race_filter.h"

namespace lomi {
namespace {

RecordStore WorkedExample() {
    RecordStore store;
    const char* races[] = {"05111646116  23  12    0    03", "05101245214   0   0    0    03",
                           "05091433120   0  15    0   423", "06111646120  45  17  860  2303",
                           "05111846224------------------3", "06051022212   0   0----------0"};
    for (int i = 0; i < 6; ++i)
        store.Append(std::string(races[i]) + (i < 4 ? "20010415" : "20010422"));
    return store;
}

TEST(ProfitSeries, WorkedExampleDayByDay) {
    const ProfitSeries series = BuildProfitSeries(WorkedExample(), {});
    ASSERT_EQ(series.points.size(), 2u);
    EXPECT_EQ(series.points[0].date, "20010415");
    EXPECT_EQ(series.points[0].profit, (std::array<std::int64_t, 4>{280, 40, 7400, 1520}));
    EXPECT_EQ(series.points[1].date, "20010422");
    // The report's profits: 180, -60, 7400, 1520.
    EXPECT_EQ(series.points[1].profit, (std::array<std::int64_t, 4>{180, -60, 7400, 1520}));
    EXPECT_EQ(series.maxDrawdown, (std::array<std::int64_t, 4>{100, 100, 0, 0}));
    EXPECT_EQ(series.drawdownStart, (std::array<std::int64_t, 4>{0, 0, -1, -1}));
    EXPECT_EQ(series.drawdownEnd, (std::array<std::int64_t, 4>{1, 1, -1, -1}));
    EXPECT_EQ(series.longestDaysWithoutHit, (std::array<std::int64_t, 4>{1, 1, 1, 1}));
}

TEST(ProfitSeries, StepsAreTheDaysTalliesAndTheEndIsTheReport) {
    const RecordStore store = test::MixedStore(4, 8000, 10, false, false);
    RaceConditions surface;
    surface.surface = 1;
    for (const RaceConditions& c : {RaceConditions{}, surface}) {
        const ProfitSeries series = BuildProfitSeries(store, c);
        ASSERT_GT(series.points.size(), 100u);
        // Every day of the series tallied alone, by the period.
        std::array<std::int64_t, 4> profit{}, peak{}, drawdown{}, dry{}, longestDry{};
        for (std::size_t i = 0; i < series.points.size(); ++i) {
            const std::string& date = series.points[i].date;
            if (i > 0) {
                EXPECT_LT(series.points[i - 1].date, date);
            }
            RaceConditions day = c;
            day.firstDate = date;
            day.lastDate = date;
            const TallyAccumulators tally = ExtractAndTally(store, day);
            EXPECT_GT(tally.ExtractedRaces, 0) << date;
            for (const BetType bet : kBetTypes) {
                const std::size_t k = Index(bet);
                const BetFigures f = ComputeBetFigures(bet, tally);
                profit[k] += f.profit;
                peak[k] = std::max(peak[k], profit[k]);
                drawdown[k] = std::max(drawdown[k], peak[k] - profit[k]);
                dry[k] = f.hits > 0 ? 0 : dry[k] + 1;
                longestDry[k] = std::max(longestDry[k], dry[k]);
            }
            EXPECT_EQ(series.points[i].profit, profit) << date;
        }
        EXPECT_EQ(series.maxDrawdown, drawdown);
        EXPECT_EQ(series.longestDaysWithoutHit, longestDry);
        const TallyFigures report = ComputeFigures(0, ExtractAndTally(store, c));
        for (const BetType bet : kBetTypes) {
            EXPECT_EQ(series.points.back().profit[Index(bet)], report.Bet(bet).profit);
        }
    }
}

TEST(ProfitSeries, FractionalPayoutsStillEndAtTheReport) {
    const RecordStore store = test::MixedStore(5, 6000, 25, true);
    RaceConditions c;
    c.runners = 10;
    c.runnersOrMore = 1;
    const ProfitSeries series = BuildProfitSeries(store, c);
    ASSERT_FALSE(series.points.empty());
    const TallyFigures report = ComputeFigures(0, ExtractAndTally(store, c));
    for (const BetType bet : kBetTypes) {
        EXPECT_EQ(series.points.back().profit[Index(bet)], report.Bet(bet).profit);
    }
}

TEST(ProfitSeries, NoCountedRaceGivesAnEmptySeries) {
    RaceConditions nothing;
    nothing.firstDate = "20300101";
    for (const RecordStore& store : {RecordStore(), WorkedExample()}) {
        const ProfitSeries series = BuildProfitSeries(store, nothing);
        EXPECT_TRUE(series.points.empty());
        EXPECT_EQ(series.maxDrawdown, (std::array<std::int64_t, 4>{}));
        EXPECT_EQ(series.drawdownEnd, (std::array<std::int64_t, 4>{-1, -1, -1, -1}));
    }
}

}  // namespace
}  // namespace lomi
