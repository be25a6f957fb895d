// Ranking every pattern of a folder: each pattern's sums are those of a
// normal load and tally of it, with and without a period and a split; the
// interval, the drawdown, cancelling and unreadable files.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <new>
#include <stdexcept>
#include <stop_token>

#include "analysis/pattern_analysis.h"
#include "analysis/pattern_ranking.h"
#include "corpus_writer.h"
#include "settings/child_process.h"
#include "support/temp_folder.h"
#include "support/ticket_files.h"
#include "tally/race_filter.h"

namespace lomi {
namespace {

namespace fs = std::filesystem;
using test::DataLine;
using test::HeaderLine;
using test::RaceData;
using test::RaceFields;

const std::vector<std::string> kPatterns = {"Q1RN", "T5PB", "R2FB", "F3ZN", "W1PB",
                                            "P4QN", "Z2TB", "Q5WN", "T1TN"};

// Twelve weeks of racing days for the patterns above, seed 7, and files a
// ranking must leave alone or read as their pattern's.
void WriteCorpus(const fs::path& folder) {
    samples::RaceDay first{}, last{};
    samples::ParseDate("2001-03-03", first);
    samples::ParseDate("2001-05-27", last);
    samples::WriteCorpus(folder.string(), kPatterns, first, last, 7, 0);
    test::WriteTicketFile(folder, "p20010604q1rn.TXT",
                          {HeaderLine(2001, 6, 4), DataLine("", {"01-02"}, RaceData({}))});
    test::WriteTicketFile(folder, "Ptq1rn.txt", {DataLine("", {}, RaceData({}))});
    test::WriteTicketFile(folder, "README.txt", {DataLine("", {}, RaceData({}))});
    test::WriteTicketFile(folder, "P20010604X1RN.txt", {DataLine("", {}, RaceData({}))});
    test::WriteTicketFile(folder, "Q20010604Q1RN.txt", {DataLine("", {}, RaceData({}))});
    fs::create_directory(folder / "P20010605T5PB.txt");
}

// YYYYMMDD of the day before.
std::string DayBefore(const std::string& date) {
    using namespace std::chrono;
    const year_month_day day{year{std::stoi(date.substr(0, 4))},
                             month{static_cast<unsigned>(std::stoi(date.substr(4, 2)))},
                             std::chrono::day{static_cast<unsigned>(std::stoi(date.substr(6, 2)))}};
    const year_month_day before{sys_days{day} - days{1}};
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02u%02u", static_cast<int>(before.year()),
                  static_cast<unsigned>(before.month()), static_cast<unsigned>(before.day()));
    return text;
}

// Every pattern of the run against a normal load and tally of it.
void ExpectSameAsSinglePatterns(const std::string& folder, const RankingOptions& options,
                                const RankingResult& run, std::size_t patterns) {
    ASSERT_EQ(run.status, RankingStatus::Ranked) << run.message;
    ASSERT_EQ(run.patterns.size(), patterns);
    EXPECT_EQ(run.filesDone, run.filesTotal);
    std::int64_t counted[2] = {0, 0};
    for (const PatternRanking& ranked : run.patterns) {
        counted[0] += ranked.earlier.tally.ExtractedRaces;
        if (ranked.later) counted[1] += ranked.later->tally.ExtractedRaces;
        SCOPED_TRACE(ranked.code);
        ASSERT_TRUE(ranked.Ranked()) << ranked.failure;
        ProgramState state;
        state.DataFolder = folder;
        ASSERT_TRUE(SelectPattern(state, ranked.selections));
        ASSERT_TRUE(CommitLoad(state, LoadPattern(folder, state.PatternFileMask)));
        EXPECT_EQ(ranked.files, state.Loaded.Files.size());
        EXPECT_EQ(ranked.description, DescribeCurrentPattern(state));
        if (options.splitDate.empty()) {
            EXPECT_EQ(ranked.earlier.tally,
                      ExtractAndTally(state.Loaded.Records, options.conditions));
            EXPECT_EQ(ranked.earlier.recordCount, state.RecordCount());
            EXPECT_FALSE(ranked.later);
            continue;
        }
        RaceConditions before = options.conditions;
        const std::string lastBefore = DayBefore(options.splitDate);
        if (before.lastDate.empty() || before.lastDate > lastBefore) before.lastDate = lastBefore;
        RaceConditions after = options.conditions;
        if (after.firstDate < options.splitDate) after.firstDate = options.splitDate;
        ASSERT_TRUE(ranked.later);
        EXPECT_EQ(ranked.earlier.tally, ExtractAndTally(state.Loaded.Records, before));
        EXPECT_EQ(ranked.later->tally, ExtractAndTally(state.Loaded.Records, after));
        EXPECT_EQ(ranked.earlier.recordCount + ranked.later->recordCount, state.RecordCount());
    }
    // Races on both sides, or the comparison would prove little.
    EXPECT_GT(counted[0], 0);
    if (!options.splitDate.empty()) {
        EXPECT_GT(counted[1], 0);
    }
}

struct Case {
    const char* name;
    RaceConditions conditions;
    std::string split;
};

std::vector<Case> Cases() {
    RaceConditions period;
    period.firstDate = "20010317";
    period.lastDate = "20010430";
    RaceConditions narrow;
    narrow.venue = 5;
    narrow.runners = 14;
    narrow.runnersOrMore = 1;
    narrow.surface = 1;
    RaceConditions day;
    day.date = "2001-04-15";
    return {{"all races", {}, ""},
            {"period", period, ""},
            {"narrow", narrow, ""},
            {"one day", day, ""},
            {"split", {}, "20010415"},
            {"period and split", period, "20010415"},
            {"narrow and split", narrow, "20010422"}};
}

TEST(RankAllPatterns, EachPatternTalliesAsItsOwnLoadDoes) {
    const test::TempFolder folder;
    WriteCorpus(folder.Path());
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        RankingOptions options{c.conditions, c.split, 0};
        const RankingResult run = RankAllPatterns(folder.PathText(), options);
        ExpectSameAsSinglePatterns(folder.PathText(), options, run, kPatterns.size());
    }
}

TEST(RankAllPatterns, BundledSamplesTallyAsTheirOwnLoads) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        RankingOptions options{c.conditions, c.split, 0};
        const RankingResult run = RankAllPatterns(LOMI_SAMPLES_DIR, options);
        ExpectSameAsSinglePatterns(LOMI_SAMPLES_DIR, options, run, 3);
    }
}

TEST(RankAllPatterns, ThreadCountChangesNothing) {
    const test::TempFolder folder;
    WriteCorpus(folder.Path());
    RankingOptions one{{}, "20010415", 1};
    RankingOptions three{{}, "20010415", 3};
    const RankingResult a = RankAllPatterns(folder.PathText(), one);
    const RankingResult b = RankAllPatterns(folder.PathText(), three);
    ASSERT_EQ(a.patterns.size(), b.patterns.size());
    for (std::size_t i = 0; i < a.patterns.size(); ++i) {
        EXPECT_EQ(a.patterns[i].code, b.patterns[i].code);
        EXPECT_EQ(a.patterns[i].earlier.tally, b.patterns[i].earlier.tally);
        EXPECT_EQ(a.patterns[i].later->tally, b.patterns[i].later->tally);
        for (const BetType bet : kBetTypes) {
            EXPECT_EQ(a.patterns[i].earlier.Spread(bet).maxDrawdown,
                      b.patterns[i].earlier.Spread(bet).maxDrawdown);
        }
    }
}

// Reading order (by name) puts 22 April first; the drawdown follows the days.
TEST(RankAllPatterns, IntervalAndDrawdownOfKnownRaces) {
    const test::TempFolder folder;
    const auto race = [](const std::string& win) {
        RaceFields fields;
        fields.win = win;
        return DataLine("", {}, RaceData(fields));
    };
    test::WriteTicketFile(folder.Path(), "PAQ1RN.txt",
                          {HeaderLine(2001, 4, 22), race("0"), race("0"), race("0")});
    test::WriteTicketFile(folder.Path(), "PBQ1RN.txt",
                          {HeaderLine(2001, 4, 15), race("50"), race("0")});
    const RankingResult run = RankAllPatterns(folder.PathText(), {});
    ASSERT_EQ(run.patterns.size(), 1u);
    const RankedPart& part = run.patterns[0].earlier;
    EXPECT_EQ(part.figures.Bet(BetType::Win).payout, 500);
    // Taken after each day: +300 on 15 April, then -300.
    EXPECT_EQ(part.Spread(BetType::Win).maxDrawdown, 300);
    ASSERT_EQ(part.days.size(), 2u);
    EXPECT_EQ(part.days[0].DateText() + part.days[1].DateText(), "2001041520010422");
    // The split starts with the days' last third: both parts hold races.
    EXPECT_EQ(DefaultSplitDate(run.patterns), "20010422");
    EXPECT_EQ(DefaultSplitDate({}), "");
    // Race days are the samples: R = 1; day deviations 300 and -300;
    // SE = sqrt(180000 × 2/1) / 500 = 1.2; t(0.975, 1) = 12.706205.
    ASSERT_TRUE(part.Spread(BetType::Win).recoveryLow);
    EXPECT_DOUBLE_EQ(*part.Spread(BetType::Win).recoveryLow, 0.0);
    EXPECT_NEAR(*part.Spread(BetType::Win).recoveryHigh, (1 + 12.706204736 * 1.2) * 100, 1e-6);
    // No pair tickets: no stake, no interval, no drawdown.
    EXPECT_FALSE(part.Spread(BetType::Quinella).recoveryLow);
    EXPECT_EQ(part.Spread(BetType::Quinella).maxDrawdown, 0);

    const RankingResult split = RankAllPatterns(folder.PathText(), {{}, "20010422", 0});
    const PatternRanking& p = split.patterns[0];
    EXPECT_EQ(p.earlier.recordCount, 2);
    EXPECT_EQ(p.later->recordCount, 3);
    EXPECT_EQ(p.earlier.Spread(BetType::Win).maxDrawdown, 0);
    EXPECT_EQ(p.later->Spread(BetType::Win).maxDrawdown, 300);
    EXPECT_EQ(p.later->figures.Bet(BetType::Win).recovery.Text(), "0.00%");
}

TEST(RankAllPatterns, StopKeepsTheFinishedPatterns) {
    const test::TempFolder folder;
    WriteCorpus(folder.Path());
    const RankingResult whole = RankAllPatterns(folder.PathText(), {});
    std::stop_source stop;
    std::size_t last = 0, total = 0;
    const RankingResult cut = RankAllPatterns(
        folder.PathText(), {{}, "", 1},
        [&](std::size_t done, std::size_t all) {
            last = done;
            total = all;
            if (done == 40) stop.request_stop();
        },
        stop.get_token());
    EXPECT_EQ(cut.status, RankingStatus::Cancelled);
    EXPECT_EQ(last, 40u);
    EXPECT_EQ(cut.filesDone, 40u);
    EXPECT_EQ(cut.filesTotal, total);
    ASSERT_LT(cut.patterns.size(), whole.patterns.size());
    for (const PatternRanking& p : cut.patterns) {
        const auto same = std::find_if(whole.patterns.begin(), whole.patterns.end(),
                                       [&](const PatternRanking& w) { return w.code == p.code; });
        ASSERT_NE(same, whole.patterns.end());
        EXPECT_EQ(p.earlier.tally, same->earlier.tally);
    }
}

// What goes wrong inside a run ends as its result, never the program: a
// throw while the folder is listed (progress hears of the listing with a
// total of 0) and one on a worker thread; a stop asked before the listing
// ends it at once.
TEST(RankAllPatterns, WhatTheWorkThrowsEndsAsAFailedResult) {
    const test::TempFolder folder;
    WriteCorpus(folder.Path());
    const auto outOfMemory = [] { throw std::bad_alloc(); };
    const auto broken = [] { throw std::runtime_error("壊れた"); };
    const struct {
        bool listing;
        std::function<void()> fail;
        const char* message;
    } cases[] = {
        {true, outOfMemory, "全パターンの集計中にメモリが足りなくなりました。"},
        {false, outOfMemory, "全パターンの集計中にメモリが足りなくなりました。"},
        {false, broken, "全パターンの集計中にエラーが起きました（壊れた）。"},
    };
    for (const auto& c : cases) {
        const RankingResult run =
            RankAllPatterns(folder.PathText(), {{}, "", 2}, [&](std::size_t, std::size_t total) {
                if ((total == 0) == c.listing) c.fail();
            });
        EXPECT_EQ(run.status, RankingStatus::Failed);
        EXPECT_EQ(run.message, c.message);
    }
    std::stop_source stopped;
    stopped.request_stop();
    const RankingResult run = RankAllPatterns(folder.PathText(), {}, {}, stopped.get_token());
    EXPECT_EQ(run.status, RankingStatus::Cancelled);
    EXPECT_EQ(run.filesTotal, 0u);
}

TEST(RankAllPatterns, FolderProblemsAndUnreadableFiles) {
    const test::TempFolder folder;
    EXPECT_EQ(RankAllPatterns(folder.PathText(), {}).status, RankingStatus::NotFound);
    EXPECT_EQ(RankAllPatterns(folder.PathText(), {}).message, "FILE NOT FOUND.");
    EXPECT_EQ(RankAllPatterns((folder / "missing").string(), {}).status, RankingStatus::Failed);
    test::WriteBytes(folder / "file", "x");
    EXPECT_EQ(RankAllPatterns((folder / "file").string(), {}).status, RankingStatus::Failed);

#ifndef _WIN32
    // Windows reads a file without rights all the same.
    WriteCorpus(folder.Path());
    const fs::path locked = folder / "P20010401T5PB.txt";
    test::WriteBytes(locked, "");
    fs::permissions(locked, fs::perms::none);
    // Root reads every file: the run goes as an ordinary user.
    const std::string outcome = test::RunAsUnprivilegedChild([&] {
        const RankingResult run = RankAllPatterns(folder.PathText(), {});
        std::string text = std::to_string(run.patterns.size()) + ";" +
                           std::to_string(run.filesDone == run.filesTotal) + ";";
        for (const PatternRanking& p : run.patterns) {
            if (!p.Ranked()) text += p.code + ":" + p.failure;
        }
        return text;
    });
    EXPECT_EQ(outcome.substr(0, 4), std::to_string(kPatterns.size()) + ";1;") << outcome;
    EXPECT_NE(outcome.find("T5PB:ファイル「" + locked.string() + "」を開けません"),
              std::string::npos)
        << outcome;
#endif
}

// A folder that goes away part way (renamed, its drive unplugged) ends the
// run with the folder's message, not with a ranking of what was read.
TEST(RankAllPatterns, FolderGoneDuringTheRunEndsWithItsMessage) {
    const test::TempFolder parent;
    const fs::path folder = parent / "data";
    fs::create_directory(folder);
    WriteCorpus(folder);
    const RankingResult run =
        RankAllPatterns(folder.string(), {{}, "", 1}, [&](std::size_t done, std::size_t) {
            if (done == 40) fs::rename(folder, parent / "moved");
        });
    EXPECT_EQ(run.status, RankingStatus::Failed);
    EXPECT_EQ(run.message.rfind("ﾌｫﾙﾀﾞ「" + folder.string() + "」の中を読めません（", 0), 0u)
        << run.message;
    // Still there: unreadable files alone leave the ranking as it is.
    fs::rename(parent / "moved", folder);
    EXPECT_EQ(RankAllPatterns(folder.string(), {}).status, RankingStatus::Ranked);
}

TEST(SortByRecovery, HighestFirstTiesByCodeFailuresLast) {
    const test::TempFolder folder;
    WriteCorpus(folder.Path());
    RankingResult run = RankAllPatterns(folder.PathText(), {});
    run.patterns.front().failure = "x";
    SortByRecovery(run.patterns, BetType::Place);
    EXPECT_FALSE(run.patterns.back().Ranked());
    for (std::size_t i = 1; i + 1 < run.patterns.size(); ++i) {
        const Percent& a = run.patterns[i - 1].earlier.figures.Bet(BetType::Place).recovery;
        const Percent& b = run.patterns[i].earlier.figures.Bet(BetType::Place).recovery;
        EXPECT_TRUE(a > b || (a == b && run.patterns[i - 1].code < run.patterns[i].code));
    }
}

}  // namespace
}  // namespace lomi
