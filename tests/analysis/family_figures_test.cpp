// The figures of a pattern that depend on the patterns ranked beside it:
// the bootstrap's generator, the bound corrected by the max-T bootstrap
// over race days, and the expected recovery shrunk toward the mean.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/bootstrap_bound.h"
#include "analysis/expected_recovery.h"
#include "analysis/family_figures.h"
#include "analysis/pattern_ranking.h"
#include "corpus_writer.h"
#include "support/temp_folder.h"

namespace lomi {
namespace {

TEST(SplitMix64, FirstOutputs) {
    SplitMix64 draw(kBootstrapSeed);
    EXPECT_EQ(draw.Next(), 0xEE9BF187BA86CFDFull);
    EXPECT_EQ(draw.Next(), 0xFA472266851DBA6Full);
    EXPECT_EQ(draw.Next(), 0xDB6ABBF9D4946DF0ull);
}

// Worked by hand: w = 100, 100, 25; Q = 10; τ² = 8 / (225 - 91.67) = 0.06;
// μ = 19/18; B = 6/7, 6/7, 0.6.
TEST(ShrinkRecoveries, ThreeRowsByHand) {
    const auto e = ShrinkRecoveries({{0.8, 0.1}, {1.0, 0.1}, {1.5, 0.2}});
    ASSERT_TRUE(e[0] && e[1] && e[2]);
    const double expected[] = {527.0 / 630, 127.0 / 126, 23.8 / 18};
    const double sd[] = {0.0953966933, 0.0953966933, 0.1677740986};
    const double above[] = {0.0432815662, 0.5331516726, 0.9726071508};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(e[i]->expected, expected[i], 1e-12);
        EXPECT_NEAR(e[i]->standardDeviation, sd[i], 1e-9);
        EXPECT_NEAR(e[i]->probabilityAbove100, above[i], 1e-9);
    }
}

// Rows that differ by less than chance explains (τ² = 0) all expect the
// weighted mean; one row alone expects nothing.
TEST(ShrinkRecoveries, NoRealSpreadGivesEveryRowTheMean) {
    const auto e = ShrinkRecoveries({{0.9, 0.5}, {1.0, 0.5}, {1.2, 1.0}});
    const double mean = (0.9 * 4 + 1.0 * 4 + 1.2 * 1) / 9;
    for (const auto& row : e) EXPECT_NEAR(row->expected, mean, 1e-12);
    EXPECT_FALSE(ShrinkRecoveries({{0.9, 0.5}})[0]);
}

struct Folder {
    test::TempFolder folder;
    RankingResult run;
};

// Two years of generated racing for the patterns, one of them paying more.
void Generate(Folder& f, const std::vector<std::string>& codes, const std::string& edged,
              int edge) {
    samples::RaceDay first{}, last{};
    samples::ParseDate("2001-01-06", first);
    samples::ParseDate("2002-12-31", last);
    samples::WriteCorpus(f.folder.PathText(), codes, first, last, 11, 0, {{edged, edge}});
    f.run = RankAllPatterns(f.folder.PathText(), {});
    ASSERT_EQ(f.run.status, RankingStatus::Ranked) << f.run.message;
}

const std::vector<std::string> kCodes = {"T3FN", "T3RN", "T3ZN", "T3WN", "F3TN", "F3RN",
                                         "F3ZN", "F3PN", "R3TN", "R3FN", "Q3WN", "W3TB"};

// Copies are one try: a table holding every pattern twice has the same
// corrected bounds and expected recoveries as the table without copies.
TEST(EstimateFamilyFigures, CopiesChangeNothing) {
    Folder f;
    Generate(f, kCodes, "F3PN", 0);
    std::vector<PatternRanking> doubled = f.run.patterns;
    for (const PatternRanking& p : f.run.patterns) {
        doubled.push_back(p);
        doubled.back().code = "c" + p.code;
    }
    for (const BetType bet : kBetTypes) {
        SCOPED_TRACE(BetKey(bet));
        const FamilyFigures once = EstimateFamilyFigures(f.run.patterns, bet, 0);
        const FamilyFigures twice = EstimateFamilyFigures(doubled, bet, 0);
        EXPECT_EQ(once.criticalValue, twice.criticalValue);
        EXPECT_EQ(once.distinctRows, twice.distinctRows);
        ASSERT_EQ(once.rows.size(), kCodes.size());
        for (const FamilyRowFigures& row : once.rows) {
            const auto copy = std::find_if(twice.rows.begin(), twice.rows.end(),
                                           [&](const auto& r) { return r.code == row.code; });
            ASSERT_NE(copy, twice.rows.end());
            EXPECT_EQ(copy->recoveryLowAdjusted, row.recoveryLowAdjusted) << row.code;
            EXPECT_EQ(copy->expectedRecovery, row.expectedRecovery) << row.code;
            EXPECT_EQ(copy->probabilityAbove100, row.probabilityAbove100) << row.code;
        }
    }
}

// Luck alone makes no pattern significant; a planted edge is, keeps the
// highest expected recovery, and the best of the others is pulled down
// from its raw recovery toward the mean.
TEST(EstimateFamilyFigures, PlantedEdgeIsSignificantNoiseIsNot) {
    for (const int edge : {0, 60}) {
        Folder f;
        Generate(f, kCodes, "F3PN", edge);
        const BetType bet = BetType::Quinella;
        SetFamilyFigures(f.run.patterns, bet, 0);
        SortByExpected(f.run.patterns, bet);
        std::string significant;
        for (const PatternRanking& p : f.run.patterns) {
            if (p.earlier.Spread(bet).significant) significant += p.code + " ";
        }
        EXPECT_EQ(significant, edge == 0 ? "" : "F3PN ") << "edge " << edge;
        if (edge != 0) {
            EXPECT_EQ(f.run.patterns.front().code, "F3PN");
        }
        if (edge == 0) {
            SortByRecovery(f.run.patterns, bet);
            const PatternRanking& best = f.run.patterns.front();
            EXPECT_LT(*best.earlier.Spread(bet).expectedRecovery,
                      best.earlier.figures.Bet(bet).recovery.Value());
        }
    }
}

}  // namespace
}  // namespace lomi
