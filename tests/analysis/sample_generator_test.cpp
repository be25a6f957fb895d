// The sample generator's racing as the analysis sees it: every pattern's
// line of a race comes from the one run of that race, so patterns with the
// same axis horse hold the same 単勝 and 複勝 fields, and a large folder
// pays and hits as real racing does.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "analysis/pattern_ranking.h"
#include "corpus_writer.h"
#include "data/program_state.h"
#include "data/ticket_reader.h"
#include "support/temp_folder.h"
#include "ticket_file_text.h"

namespace lomi {
namespace {

using Fields = std::map<std::string, std::string>;  // race (date, venue, number) -> fields

// The 単勝 and 複勝 fields of each race of a pattern, and its pair fields.
void ReadFields(const std::string& folder, const std::string& code, Fields& winPlace,
                Fields& pairs) {
    LoadedData data;
    ASSERT_TRUE(ReadPatternFiles(folder, "P*" + code + ".txt", data).ok);
    for (std::size_t i = 0; i < data.Records.Size(); ++i) {
        const std::string record(data.Records[i]);
        ASSERT_EQ(record.size(), 38u) << record;
        const std::string race = record.substr(30, 8) + record.substr(0, 4);
        winPlace[race] = record.substr(11, 8);
        pairs[race] = record.substr(19, 11);
    }
}

TEST(SampleGenerator, SameAxisGivesTheSameWinAndPlaceFields) {
    test::TempFolder folder;
    samples::RaceDay first{}, last{};
    samples::ParseDate("2001-04-07", first);
    samples::ParseDate("2001-05-27", last);
    const std::vector<std::vector<std::string>> axes = {
        {"Q1RN", "Q1TB", "Q1WN", "Q1PB"}, {"T3FN", "T3ZB", "T3QN"}, {"W1PN", "W1FB"}};
    std::vector<std::string> codes;
    for (const auto& axis : axes) codes.insert(codes.end(), axis.begin(), axis.end());
    samples::WriteCorpus(folder.PathText(), codes, first, last, 3, 0, {{"Q1WN", 50}});

    std::vector<Fields> firstWinPlace(axes.size()), firstPairs(axes.size());
    for (std::size_t a = 0; a < axes.size(); ++a) {
        ReadFields(folder.PathText(), axes[a][0], firstWinPlace[a], firstPairs[a]);
        ASSERT_GT(firstWinPlace[a].size(), 300u);
        for (std::size_t p = 1; p < axes[a].size(); ++p) {
            Fields winPlace, pairs;
            ReadFields(folder.PathText(), axes[a][p], winPlace, pairs);
            EXPECT_EQ(winPlace, firstWinPlace[a]) << axes[a][p];
            EXPECT_NE(pairs, firstPairs[a]) << axes[a][p];
        }
    }
    // Other axes are other horses.
    EXPECT_NE(firstWinPlace[0], firstWinPlace[1]);
    EXPECT_NE(firstWinPlace[0], firstWinPlace[2]);
}

// The bundled samples/ come from the earlier generator, which still writes
// them byte for byte: the expected reports of the tests rely on them.
TEST(SampleGenerator, EarlierGeneratorWritesTheBundledSamples) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(LOMI_SAMPLES_DIR)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".txt") continue;
        samples::RaceDay day{};
        ASSERT_TRUE(samples::ParseDate(name.substr(1, 8), day)) << name;
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        EXPECT_EQ(
            samples::TicketFileBytes(day, name.substr(9, 4), 1, 0, 0, samples::kEarlierGenerator),
            bytes)
            << name;
        ++files;
    }
    EXPECT_EQ(files, 36);
}

// Half a year of every axis (index and rank) with partners of three indices,
// both bet styles.
TEST(SampleGenerator, PaysAndHitsLikeRealRacing) {
    test::TempFolder folder;
    samples::RaceDay first{}, last{};
    samples::ParseDate("2001-01-01", first);
    samples::ParseDate("2001-06-30", last);
    std::vector<std::string> codes;
    for (const char axis : std::string("TFRZWPQ")) {
        for (const char rank : std::string("12345")) {
            codes.push_back({axis, rank, 'W', 'N'});
            codes.push_back({axis, rank, 'T', 'B'});
            codes.push_back({axis, rank, 'Z', 'N'});
        }
    }
    samples::WriteCorpus(folder.PathText(), codes, first, last, 1, 0);
    const RankingResult run = RankAllPatterns(folder.PathText(), {});
    ASSERT_EQ(run.status, RankingStatus::Ranked) << run.message;
    ASSERT_EQ(run.patterns.size(), codes.size());

    std::int64_t stake = 0, payout = 0;
    for (const PatternRanking& pattern : run.patterns) {
        for (const BetFigures& bet : pattern.earlier.figures.bets) {
            stake += bet.stake;
            payout += bet.payout;
        }
        if (pattern.code != "W1WN") continue;
        // 単勝人気 １位: wins about a third of its races, places in about
        // two thirds.
        const TallyFigures& f = pattern.earlier.figures;
        ASSERT_GT(f.extractedRaces, 1500);
        EXPECT_NEAR(static_cast<double>(f.Bet(BetType::Win).hits) / f.extractedRaces, 1.0 / 3,
                    0.04);
        EXPECT_NEAR(static_cast<double>(f.Bet(BetType::Place).hits) / f.extractedRaces, 2.0 / 3,
                    0.06);
    }
    const double recovery = static_cast<double>(payout) / stake;
    EXPECT_GT(recovery, 0.70);
    EXPECT_LT(recovery, 0.85);
}

}  // namespace
}  // namespace lomi
