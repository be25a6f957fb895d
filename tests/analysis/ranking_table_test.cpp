#include "analysis/ranking_table.h"

#include <gtest/gtest.h>

namespace lomi {
namespace {

// A pattern whose ﾜｲﾄﾞ paid payout on stake over races counted races.
PatternRanking Ranked(const char* code, std::int64_t payout, std::int64_t stake,
                      std::int64_t races = 10) {
    PatternRanking p;
    p.code = code;
    p.earlier.tally.ExtractedRaces = races;
    BetFigures& wide = p.earlier.figures.bets[Index(BetType::Wide)];
    wide.payout = payout;
    wide.stake = stake;
    wide.hits = races / 2;
    wide.recovery = PercentOf(payout, stake);
    wide.hitRate = PercentOf(wide.hits, races);
    return p;
}

TEST(CompareRatios, ExactBeyondTheShownDecimals) {
    // 71.619% and 71.622% both show as 71.62%.
    EXPECT_TRUE(CompareRatios(716190, 1000000, 716220, 1000000) < 0);
    EXPECT_TRUE(CompareRatios(1, 3, 2, 6) == 0);
    // Sums near the 64-bit limit still compare exactly.
    const std::int64_t big = std::int64_t{1} << 62;
    EXPECT_TRUE(CompareRatios(big, big - 1, big - 1, big - 2) < 0);
    EXPECT_TRUE(CompareRatios(0, 0, 0, 100) < 0);  // nothing to divide by: lowest
}

TEST(CompareRankingCells, RatesExactlyEmptyPartsLast) {
    const PatternRanking t2pb = Ranked("T2PB", 716190, 1000000);
    const PatternRanking r5zn = Ranked("R5ZN", 716220, 1000000);
    const PatternRanking none = Ranked("Q1RN", 0, 0, 0);
    PatternRanking failed = Ranked("F3ZN", 900, 100);
    failed.failure = "読めません";
    const auto cmp = [](const PatternRanking& a, const PatternRanking& b, RankingColumn c) {
        return CompareRankingCells(a, b, BetType::Wide, c);
    };
    EXPECT_TRUE(cmp(t2pb, r5zn, RankingColumn::Recovery) < 0);
    EXPECT_TRUE(cmp(none, t2pb, RankingColumn::Recovery) < 0);
    EXPECT_TRUE(cmp(failed, none, RankingColumn::Recovery) < 0);
    EXPECT_TRUE(cmp(t2pb, r5zn, RankingColumn::HitRate) == 0);
    EXPECT_TRUE(cmp(none, t2pb, RankingColumn::HitRate) < 0);
    EXPECT_TRUE(cmp(t2pb, r5zn, RankingColumn::Code) > 0);
}

}  // namespace
}  // namespace lomi
