// How far one recovery rate can be trusted: Student's t quantiles and the
// interval with the race day as the sample.

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/pattern_ranking.h"
#include "analysis/recovery_interval.h"
#include "support/temp_folder.h"
#include "support/ticket_files.h"

namespace lomi {
namespace {

using test::DataLine;
using test::HeaderLine;
using test::RaceData;
using test::RaceFields;

TEST(StudentQuantile, KnownValues) {
    struct Case {
        double probability, degrees, expected;
    };
    for (const Case& c : {Case{0.975, 1, 12.706204736}, Case{0.975, 4, 2.776445105},
                          Case{0.975, 29, 2.045229642}, Case{0.5, 7, 0}}) {
        EXPECT_NEAR(StudentQuantile(c.probability, c.degrees), c.expected, 1e-8) << c.degrees;
    }
}

std::string Race(const std::array<std::string, 6>& slots, const std::string& win,
                 const std::string& quinella) {
    RaceFields fields;
    fields.win = win;
    fields.quinella = quinella;
    return DataLine("", slots, RaceData(fields));
}

// A file of one race day with the races given.
void WriteDay(const test::TempFolder& folder, int day, const std::vector<std::string>& races) {
    std::vector<std::string> lines = {HeaderLine(2001, 4, day)};
    lines.insert(lines.end(), races.begin(), races.end());
    test::WriteTicketFile(folder.Path(),
                          "P200104" + std::string(day < 10 ? "0" : "") + std::to_string(day) +
                              "Q1RN.txt",
                          lines);
}

BetSpread SpreadOf(const test::TempFolder& folder, BetType bet) {
    const RankingResult run = RankAllPatterns(folder.PathText(), {});
    EXPECT_EQ(run.patterns.size(), 1u);
    return run.patterns.at(0).earlier.Spread(bet);
}

// With one race a day the interval is the one of independent races: 連勝
// pays 1000, 0 and 500 yen on stakes 100, 100 and 0 (a payout without a
// pair ticket, as odd files have), and a race with neither is no sample.
// R = 7.5, deviations 250, -750, 500; SE = sqrt(875000 × 3/2) / 200;
// t(0.975, 2) = 4.302653. 単勝 lost every race: no spread, no interval.
TEST(RecoveryInterval, OneRaceADayIsTheIntervalOfRaces) {
    const test::TempFolder folder;
    WriteDay(folder, 1, {Race({"01-02"}, "0", "100")});
    WriteDay(folder, 2, {Race({"01-02"}, "0", "0")});
    WriteDay(folder, 3, {Race({}, "0", "0")});
    WriteDay(folder, 4, {Race({}, "0", "50")});
    const BetSpread win = SpreadOf(folder, BetType::Win);
    EXPECT_EQ(win.days, 4);
    EXPECT_FALSE(win.recoveryLow);
    const BetSpread quinella = SpreadOf(folder, BetType::Quinella);
    EXPECT_EQ(quinella.days, 3);
    EXPECT_NEAR(quinella.standardError, std::sqrt(875000 * 1.5) / 200, 1e-9);
    EXPECT_DOUBLE_EQ(*quinella.recoveryLow, 0);
    EXPECT_NEAR(*quinella.recoveryHigh, (7.5 + 4.302652730 * quinella.standardError) * 100, 1e-5);
}

// Races of a day count as one sample. 単勝 by day: stakes 200, 100, 200 and
// payouts 300, 0, 100; R = 0.8, day deviations 140, -80, -60, Σ² = 29600;
// SE = sqrt(29600 × 3/2) / 500.
TEST(RecoveryInterval, RacesOfADayAreOneSample) {
    const test::TempFolder folder;
    WriteDay(folder, 1, {Race({"01-02"}, "30", "0"), Race({"01-02"}, "0", "0")});
    WriteDay(folder, 8, {Race({"01-02"}, "0", "0")});
    WriteDay(folder, 15, {Race({"01-02"}, "10", "0"), Race({"01-02"}, "0", "0")});
    const BetSpread win = SpreadOf(folder, BetType::Win);
    EXPECT_EQ(win.days, 3);
    EXPECT_NEAR(win.standardError, std::sqrt(44400.0) / 500, 1e-12);
    EXPECT_DOUBLE_EQ(*win.recoveryLow, 0);
    EXPECT_NEAR(*win.recoveryHigh, (0.8 + 4.302652730 * std::sqrt(44400.0) / 500) * 100, 1e-5);
}

TEST(EstimateRatioInterval, NoIntervalWithoutTwoDaysStakeOrSpread) {
    const std::vector<std::vector<DayAmount>> cases = {
        {},
        {{100, 300}, {0, 0}},          // one day that bet
        {{0, 300}, {0, 100}},          // no stake
        {{100, 150}, {200, 300}},      // the same ratio every day
    };
    for (const auto& days : cases) {
        const RatioInterval interval = EstimateRatioInterval(days);
        EXPECT_FALSE(interval.low);
        EXPECT_EQ(interval.standardError, 0);
    }
}

}  // namespace
}  // namespace lomi
