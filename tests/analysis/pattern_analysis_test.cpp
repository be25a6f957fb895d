// Opening and tallying a pattern through the analysis steps every front end
// uses: the load's outcomes, cancelling, the period and the figures.

#include <gtest/gtest.h>

#include <stop_token>

#include "analysis/pattern_analysis.h"
#include "support/temp_folder.h"
#include "tally/race_filter.h"

namespace lomi {
namespace {

const std::string kSamples = LOMI_SAMPLES_DIR;

ProgramState LoadedSamples() {
    ProgramState state;
    state.DataFolder = kSamples;
    EXPECT_TRUE(SelectPattern(state, *ParsePatternCode("Q1RN")));
    EXPECT_TRUE(CommitLoad(state, LoadPattern(state.DataFolder, state.PatternFileMask)));
    return state;
}

TEST(LoadPattern, OutcomesAndWhatTheyLeaveInTheState) {
    ProgramState state = LoadedSamples();
    const std::size_t loaded = state.Loaded.Records.Size();
    ASSERT_GT(loaded, 0u);

    const test::TempFolder empty;
    PatternLoad missing = LoadPattern(empty.PathText(), state.PatternFileMask);
    EXPECT_EQ(missing.status, LoadStatus::NotFound);
    EXPECT_EQ(missing.message, "FILE NOT FOUND.");
    EXPECT_FALSE(CommitLoad(state, std::move(missing)));

    // A stop requested after the first file ends the load there, and the
    // data on show stay.
    std::stop_source stop;
    std::size_t reported = 0;
    PatternLoad cancelled = LoadPattern(
        kSamples, state.PatternFileMask,
        [&](std::size_t done, std::size_t) {
            reported = done;
            if (done == 1) stop.request_stop();
        },
        stop.get_token());
    EXPECT_EQ(cancelled.status, LoadStatus::Cancelled);
    EXPECT_EQ(cancelled.message, "");
    EXPECT_EQ(reported, 1u);
    EXPECT_FALSE(CommitLoad(state, std::move(cancelled)));
    EXPECT_EQ(state.Loaded.Records.Size(), loaded);

    EXPECT_FALSE(SelectPattern(state, PatternSelections{8, 1, 1, 1}));
    EXPECT_EQ(state.PatternFileMask, "");
}

TEST(TallyLoaded, PeriodCountsTheRacesOfItsDaysAndNoOthers) {
    ProgramState state = LoadedSamples();
    const std::vector<std::string> dates = state.Loaded.DateList;  // latest first
    ASSERT_GE(dates.size(), 4u);
    struct Case {
        std::string first, last;
    };
    const Case cases[] = {{dates[3], dates[1]}, {"", dates[2]},       {dates[2], ""},
                          {dates[1], dates[1]}, {dates[0], dates[3]}, {"20010401", "20010499"}};
    for (const Case& c : cases) {
        // The sum of the single-day tallies of the days within the period.
        TallyAccumulators expected;
        std::int64_t extracted = 0;
        for (const std::string& day : dates) {
            if ((!c.first.empty() && day < c.first) || (!c.last.empty() && day > c.last)) continue;
            RaceConditions oneDay;
            oneDay.date = day.substr(0, 4) + "-" + day.substr(4, 2) + "-" + day.substr(6, 2);
            const TallyAccumulators t = ExtractAndTally(state.Loaded.Records, oneDay);
            extracted += t.ExtractedRaces;
            expected.WinPayout += t.WinPayout;
            expected.QuinellaHits += t.QuinellaHits;
            expected.PairTickets += t.PairTickets;
        }
        RaceConditions period;
        period.firstDate = c.first;
        period.lastDate = c.last;
        const TallyResult result = TallyLoaded(state, period);
        EXPECT_EQ(result.figures.extractedRaces, extracted) << c.first << "-" << c.last;
        EXPECT_EQ(state.Tally.WinPayout, expected.WinPayout) << c.first << "-" << c.last;
        EXPECT_EQ(state.Tally.QuinellaHits, expected.QuinellaHits);
        EXPECT_EQ(result.figures.Bet(BetType::Quinella).tickets, expected.PairTickets);
        EXPECT_EQ(result.figures.totalRaces,
                  static_cast<std::int64_t>(state.Loaded.Records.Size()));
    }
}

TEST(Figures, PercentsOrderAsTheirValuesAndPrintAsTheReportDoes) {
    struct Case {
        std::int64_t numerator, denominator;
        const char* text;
        double value;
    };
    const Case cases[] = {{-1, 800, "-0.13%", -0.13},
                          {0, 0, "0.00%", 0.0},
                          {1, 800, "0.13%", 0.13},
                          {2568, 10000, "25.68%", 25.68},
                          {8600, 1200, "716.67%", 716.67}};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Percent p = PercentOf(cases[i].numerator, cases[i].denominator);
        EXPECT_EQ(p.Text(), cases[i].text);
        EXPECT_EQ(p.Value(), cases[i].value);
        if (i > 0) {
            EXPECT_LT(PercentOf(cases[i - 1].numerator, cases[i - 1].denominator), p) << p.Text();
        }
    }
}

}  // namespace
}  // namespace lomi
