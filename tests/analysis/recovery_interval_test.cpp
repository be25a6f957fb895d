// How far one recovery rate can be trusted: Student's t quantiles, the
// samples of each bet type, and the bound corrected for many patterns.

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

// 連勝 counts the races with a pair ticket, and a race that paid without
// one (as odd files have); 単勝 every race, and all of them lost.
TEST(RecoveryInterval, SamplesAreTheRacesThatBet) {
    const test::TempFolder folder;
    test::WriteTicketFile(folder.Path(), "P20010401Q1RN.txt",
                          {HeaderLine(2001, 4, 1), Race({"01-02"}, "0", "100"),
                           Race({"01-02"}, "0", "0"), Race({}, "0", "0"), Race({}, "0", "50")});
    const RankingResult run = RankAllPatterns(folder.PathText(), {});
    ASSERT_EQ(run.patterns.size(), 1u);
    const RankedPart& part = run.patterns[0].earlier;
    const BetSpread& win = part.Spread(BetType::Win);
    EXPECT_EQ(win.samples, 4);
    EXPECT_FALSE(win.recoveryLow);  // every race lost: no spread, no interval
    // Payouts 1000, 0, 500 yen on stakes 100, 100, 0: R = 7.5, deviations
    // 250, -750, 500; SE = sqrt(875000 × 3/2) / 200; t(0.975, 2) = 4.302653.
    const BetSpread& quinella = part.Spread(BetType::Quinella);
    EXPECT_EQ(quinella.samples, 3);
    EXPECT_NEAR(quinella.standardError, std::sqrt(875000 * 1.5) / 200, 1e-9);
    EXPECT_DOUBLE_EQ(*quinella.recoveryLow, 0);
    EXPECT_NEAR(*quinella.recoveryHigh, (7.5 + 4.302652730 * quinella.standardError) * 100, 1e-5);
}

// With one pattern taking part the corrected bound is the 95% one; with
// more it is lower, and only a bound above 100% is significant.
TEST(SetAdjustedBounds, CorrectsForThePatternsThatTakePart) {
    const test::TempFolder folder;
    const auto day = [&](const char* code, std::vector<std::string> wins) {
        std::vector<std::string> lines = {HeaderLine(2001, 4, 1)};
        for (const std::string& win : wins) lines.push_back(Race({"01-02"}, win, "0"));
        test::WriteTicketFile(folder.Path(), std::string("P20010401") + code + ".txt", lines);
    };
    day("Q1RN", {"30", "25", "40", "35", "20", "30"});
    day("T5PB", {"0", "20", "0"});
    RankingResult run = RankAllPatterns(folder.PathText(), {});
    ASSERT_EQ(run.patterns.size(), 2u);
    const BetSpread& alone = run.patterns[0].earlier.Spread(BetType::Win);
    SetAdjustedBounds(run.patterns, 4);
    EXPECT_DOUBLE_EQ(*alone.recoveryLowAdjusted, *alone.recoveryLow);
    EXPECT_TRUE(alone.significant);
    EXPECT_FALSE(run.patterns[1].earlier.Spread(BetType::Win).recoveryLowAdjusted);
    SetAdjustedBounds(run.patterns, 0);
    EXPECT_LT(*alone.recoveryLowAdjusted, *alone.recoveryLow);
    const BetSpread& other = run.patterns[1].earlier.Spread(BetType::Win);
    EXPECT_DOUBLE_EQ(*other.recoveryLowAdjusted, 0);
    EXPECT_FALSE(other.significant);
    // 連勝: every pair ticket lost, so no spread and no bound.
    EXPECT_FALSE(run.patterns[0].earlier.Spread(BetType::Quinella).recoveryLowAdjusted);
}

}  // namespace
}  // namespace lomi
