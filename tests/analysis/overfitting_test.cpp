// The probability that the best of a ranking is luck, through a ranking of
// real files: a case worked by hand, folders without and with an edge, and
// folders too small for an estimate.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "analysis/overfitting.h"
#include "analysis/pattern_ranking.h"
#include "corpus_writer.h"
#include "support/temp_folder.h"
#include "support/ticket_files.h"

namespace lomi {
namespace {

using test::DataLine;
using test::HeaderLine;
using test::RaceData;
using test::RaceFields;

// One race a week per pattern, its 単勝 field (tens of yen on a 100-yen
// stake) as given.
void WriteDays(const test::TempFolder& folder, const std::string& code,
               const std::vector<std::string>& payouts) {
    for (std::size_t day = 0; day < payouts.size(); ++day) {
        RaceFields fields;
        fields.win = payouts[day];
        const int date = 1 + 7 * static_cast<int>(day);
        test::WriteTicketFile(
            folder.Path(),
            "P200104" + std::string(date < 10 ? "0" : "") + std::to_string(date) + code + ".txt",
            {HeaderLine(2001, 4, date), DataLine("", {"01-02"}, RaceData(fields))});
    }
}

OverfittingEstimate Estimate(const std::string& folder, BetType bet = BetType::Win,
                             std::int64_t minRaces = 0) {
    const RankingResult run = RankAllPatterns(folder, {});
    EXPECT_EQ(run.status, RankingStatus::Ranked) << run.message;
    return EstimateOverfitting(run.patterns, bet, minRaces);
}

// Four days, so four blocks of a day and six splits. In-sample recoveries
// (days taken in) and the best; its out-of-sample rank among three:
//   {1,2}: F3ZN 1.5 = T5PB 1.5 > Q1RN 1.0: F3ZN (smaller code); out 0.5, rank 1
//   {1,3}: T5PB 2.0: out 1.5, tied with Q1RN: rank 2.5, not overfit
//   {1,4}: F3ZN 2.0 = T5PB 2.0: F3ZN; out 0.0, rank 1
//   {2,3}: Q1RN 1.5 = T5PB 1.5: Q1RN; out 0.5, rank 1
//   {2,4}: Q1RN 1.5 = T5PB 1.5: Q1RN; out 0.5, rank 1
//   {3,4}: T5PB 2.0: out 1.5, tied with F3ZN: rank 2.5, not overfit
// PBO 4/6; the best's out-of-sample recoveries 50 150 0 50 50 150 (median
// 50%), the splits' medians 100 150 150 200 150 150 (median 150%). The
// best lost money out of sample in four splits.
TEST(EstimateOverfitting, WorkedCaseOfFourDays) {
    const test::TempFolder folder;
    WriteDays(folder, "F3ZN", {"30", "0", "0", "10"});
    WriteDays(folder, "Q1RN", {"0", "20", "10", "10"});
    WriteDays(folder, "T5PB", {"20", "10", "20", "20"});
    const OverfittingEstimate e = Estimate(folder.PathText());
    ASSERT_TRUE(e.Estimated()) << e.reason;
    EXPECT_EQ(e.blocks, 4);
    EXPECT_EQ(e.splits, 6);
    EXPECT_EQ(e.patterns, 3u);
    EXPECT_DOUBLE_EQ(e.probability, 4.0 / 6);
    EXPECT_DOUBLE_EQ(e.bestOutOfSampleMedian, 50);
    EXPECT_DOUBLE_EQ(e.outOfSampleMedian, 150);
    EXPECT_DOUBLE_EQ(e.lossProbability, 4.0 / 6);
    ASSERT_EQ(e.logits.size(), 6u);
    EXPECT_NEAR(e.logits[1], std::log(5.0 / 3), 1e-12);  // ω = 2.5 / 4
}

// A payout of 2^62 yen: the cross products of the comparisons need more
// than 64 bits. The pattern that paid it is best in sample with that day
// and worst out of sample without it; the other, best in sample without
// it, is worst out of sample beside it: every split is overfit.
TEST(EstimateOverfitting, HugePayoutsCompareExactly) {
    const test::TempFolder folder;
    WriteDays(folder, "F3ZN", {"9e99", "0", "0", "0"});
    WriteDays(folder, "Q1RN", {"10", "10", "10", "10"});
    const OverfittingEstimate e = Estimate(folder.PathText());
    EXPECT_EQ(e.splits, 6);
    EXPECT_DOUBLE_EQ(e.probability, 1);
}

TEST(EstimateOverfitting, ReasonsInsteadOfANumber) {
    const test::TempFolder threeDays, onePattern;
    WriteDays(threeDays, "F3ZN", {"30", "0", "10"});
    WriteDays(threeDays, "Q1RN", {"0", "20", "10"});
    WriteDays(onePattern, "F3ZN", {"30", "0", "10", "0", "0"});
    struct Case {
        const test::TempFolder& folder;
        std::int64_t minRaces;
        const char* reason;
    };
    for (const Case& c : {Case{threeDays, 0, "開催日が3日しかありません"},
                          Case{threeDays, 4, "2つ未満"}, Case{onePattern, 0, "2つ未満"}}) {
        const OverfittingEstimate e = Estimate(c.folder.PathText(), BetType::Win, c.minRaces);
        EXPECT_FALSE(e.Estimated());
        EXPECT_NE(e.reason.find(c.reason), std::string::npos) << e.reason;
    }
}

// A year of generated races for sixteen patterns of one rank and style,
// none better than the market: for every bet type the best in sample often
// falls below the middle out of sample (this seed's PBOs are 0.32 to 0.74;
// 単勝 and 複勝 have only three distinct rows, one per axis horse). With
// one pattern's 連勝 and ﾜｲﾄﾞ payouts 60% higher, that pattern leads those
// bets and its lead holds out of sample, while 単勝 and 複勝 stay as they
// were.
TEST(EstimateOverfitting, NoiseAndAPlantedEdge) {
    const std::vector<std::string> codes = {"T3FN", "T3RN", "T3ZN", "T3WN", "T3PN", "T3QN",
                                            "F3TN", "F3RN", "F3ZN", "F3WN", "F3PN", "F3QN",
                                            "R3TN", "R3FN", "R3ZN", "R3WN"};
    samples::RaceDay first{}, last{};
    samples::ParseDate("2001-01-06", first);
    samples::ParseDate("2001-12-31", last);
    std::array<double, 4> withoutEdge{};
    for (const int edge : {0, 60}) {
        const test::TempFolder folder;
        samples::WriteCorpus(folder.PathText(), codes, first, last, 5, 0, {{"F3PN", edge}});
        RankingResult run = RankAllPatterns(folder.PathText(), {});
        for (const BetType bet : kBetTypes) {
            SCOPED_TRACE(std::string(BetKey(bet)) + " edge " + std::to_string(edge));
            const OverfittingEstimate e = EstimateOverfitting(run.patterns, bet, 0);
            ASSERT_TRUE(e.Estimated()) << e.reason;
            EXPECT_EQ(e.blocks, 16);
            EXPECT_EQ(e.splits, 12870);
            EXPECT_EQ(e.patterns, codes.size());
            if (edge == 0) {
                EXPECT_GT(e.probability, 0.25);
                EXPECT_LT(e.probability, 0.8);
                withoutEdge[Index(bet)] = e.probability;
                continue;
            }
            if (bet == BetType::Win || bet == BetType::Place) {
                EXPECT_EQ(e.probability, withoutEdge[Index(bet)]);
                continue;
            }
            EXPECT_LT(e.probability, 0.1);
            EXPECT_GT(e.bestOutOfSampleMedian, e.outOfSampleMedian);
            SortByRecovery(run.patterns, bet);
            EXPECT_EQ(run.patterns.front().code, "F3PN");
        }
    }
}

}  // namespace
}  // namespace lomi
