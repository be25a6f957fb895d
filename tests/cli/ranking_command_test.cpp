// lomi-report --all-patterns as scripts see it: every pattern's JSON equals
// the program's own single-pattern JSON, and the table, CSV and errors.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/run_report.h"
#include "cli/text_table.h"
#include "corpus_writer.h"
#include "support/temp_folder.h"
#include "support/ticket_files.h"

namespace lomi {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using test::ReportRun;
using test::RunReport;

const std::vector<std::string> kPatterns = {"Q1RN", "T5PB", "R2FB", "Z3WN", "P1PB"};

class RankingFolder : public testing::Test {
protected:
    void SetUp() override {
        samples::RaceDay first{}, last{};
        samples::ParseDate("2001-04-07", first);
        samples::ParseDate("2001-05-27", last);
        samples::WriteCorpus(data_.PathText(), kPatterns, first, last, 3, 0);
    }
    ReportRun Run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--folder", data_.PathText()});
        return RunReport(arguments);
    }
    Json RunJson(const std::vector<std::string>& arguments) {
        const ReportRun run = Run(arguments);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return Json::parse(run.out);
    }
    test::TempFolder data_;
};

// The single-pattern figures without what only the ranking adds; the
// ranked part also has the corrected bound.
Json PlainBets(Json bets, bool ranked = true) {
    for (auto& [key, figures] : bets.items()) {
        for (const std::string extra :
             {"recoveryLow", "recoveryHigh", "recoveryLowAdjusted", "significant",
              "expectedRecovery", "probabilityAbove100", "maxDrawdown"}) {
            const bool rankedOnly = extra != "recoveryLow" && extra != "recoveryHigh" &&
                                    extra != "maxDrawdown";
            EXPECT_EQ(figures.contains(extra), ranked || !rankedOnly) << key << " " << extra;
            figures.erase(extra);
        }
    }
    return bets;
}

TEST_F(RankingFolder, EveryPatternEqualsItsOwnJson) {
    struct Case {
        std::vector<std::string> conditions;  // for both runs
        std::string split;                    // YYYY-MM-DD, and the day before
        std::string dayBefore;
    };
    const std::vector<Case> cases = {
        {{}, "", ""},
        {{"--from", "2001-04-20", "--to", "2001-05-13"}, "", ""},
        {{"--venue", "5", "--surface", "1"}, "", ""},
        {{}, "2001-05-01", "2001-04-30"},
        {{"--from", "2001-04-14", "--runners", "12", "--or-more"}, "2001-05-05", "2001-05-04"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = c.conditions;
        arguments.push_back("--all-patterns");
        arguments.push_back("--json");
        if (!c.split.empty()) arguments.insert(arguments.end(), {"--split", c.split});
        const Json ranking = RunJson(arguments);
        ASSERT_EQ(ranking["patterns"].size(), kPatterns.size());
        EXPECT_TRUE(ranking["message"].is_null());
        for (const Json& pattern : ranking["patterns"]) {
            const std::string code = pattern["code"];
            SCOPED_TRACE(code + " " + c.split);
            std::vector<std::string> single = c.conditions;
            single.insert(single.end(), {"--pattern", code, "--json"});
            if (c.split.empty()) {
                const Json own = RunJson(single);
                EXPECT_EQ(pattern["tally"], own["tally"]);
                EXPECT_EQ(PlainBets(pattern["bets"]), own["bets"]);
                EXPECT_EQ(pattern["recordCount"], own["recordCount"]);
                EXPECT_EQ(pattern["description"], own["description"]);
                EXPECT_EQ(pattern["files"], own["files"].size());
                EXPECT_FALSE(pattern.contains("later"));
                continue;
            }
            // The earlier part is the period up to the day before the split,
            // the later one from the split on.
            std::vector<std::string> before = single;
            before.insert(before.end(), {"--to", c.dayBefore});
            std::vector<std::string> after = single;
            const auto from = std::find(after.begin(), after.end(), "--from");
            if (from != after.end()) after.erase(from, from + 2);
            after.insert(after.end(), {"--from", c.split});
            const Json earlier = RunJson(before);
            const Json later = RunJson(after);
            EXPECT_EQ(pattern["tally"], earlier["tally"]);
            EXPECT_EQ(PlainBets(pattern["bets"]), earlier["bets"]);
            EXPECT_EQ(pattern["later"]["tally"], later["tally"]);
            EXPECT_EQ(PlainBets(pattern["later"]["bets"], false), later["bets"]);
            EXPECT_EQ(
                pattern["recordCount"].get<int>() + pattern["later"]["recordCount"].get<int>(),
                earlier["recordCount"].get<int>());
        }
    }
}

TEST_F(RankingFolder, SortedByTheChosenBetAndFilteredByRaces) {
    const Json all = RunJson({"--all-patterns", "--json", "--bet", "place"});
    double previous = 1e300;
    for (const Json& pattern : all["patterns"]) {
        const double recovery = pattern["bets"]["place"]["recovery"];
        EXPECT_LE(recovery, previous);
        previous = recovery;
        const Json& place = pattern["bets"]["place"];
        EXPECT_LE(place["recoveryLow"].get<double>(), recovery);
        EXPECT_GE(place["recoveryHigh"].get<double>(), recovery);
        EXPECT_LT(place["recoveryLowAdjusted"].get<double>(), place["recoveryLow"].get<double>());
        EXPECT_EQ(place["significant"], place["recoveryLowAdjusted"].get<double>() > 100);
        // Shrunk toward the mean of the patterns, and only the bet ranked.
        const double expected = place["expectedRecovery"];
        EXPECT_GT(expected, 0);
        const double above = place["probabilityAbove100"];
        EXPECT_EQ(above > 0.5, expected > 100);
        EXPECT_TRUE(pattern["bets"]["win"]["expectedRecovery"].is_null());
    }
    const Json byExpected =
        RunJson({"--all-patterns", "--json", "--bet", "place", "--sort", "expected"});
    previous = 1e300;
    for (const Json& pattern : byExpected["patterns"]) {
        const double expected = pattern["bets"]["place"]["expectedRecovery"];
        EXPECT_LE(expected, previous);
        previous = expected;
    }
    EXPECT_EQ(all["conditions"]["bet"], "place");
    const Json& overfitting = all["overfitting"];
    EXPECT_EQ(overfitting["bet"], "place");
    EXPECT_EQ(overfitting["blocks"], 16);
    EXPECT_EQ(overfitting["splits"], 12870);
    EXPECT_EQ(overfitting["patterns"], kPatterns.size());
    const double probability = overfitting["probability"];
    EXPECT_GE(probability, 0);
    EXPECT_LE(probability, 1);
    EXPECT_DOUBLE_EQ(probability, std::round(probability * 10000) / 10000);
    EXPECT_GT(overfitting["bestOutOfSampleMedian"].get<double>(), 0);
    EXPECT_GT(overfitting["outOfSampleMedian"].get<double>(), 0);
    EXPECT_GE(overfitting["lossProbability"].get<double>(), 0);
    EXPECT_LE(overfitting["lossProbability"].get<double>(), 1);
    int races = 0;
    for (const Json& pattern : all["patterns"]) {
        races = std::max(races, pattern["tally"]["ExtractedRaces"].get<int>());
    }
    const Json none =
        RunJson({"--all-patterns", "--json", "--min-races", std::to_string(races + 1)});
    EXPECT_EQ(none["patterns"].size(), 0u);
    EXPECT_NE(none["overfitting"]["reason"].get<std::string>().find("2つ未満"), std::string::npos);
}

TEST_F(RankingFolder, TableAndCsv) {
    const ReportRun table = Run({"--all-patterns", "--split", "2001-05-01"});
    ASSERT_EQ(table.exitCode, 0) << table.err;
    const std::vector<std::string> lines = test::ReadLines([&] {
        const fs::path file = data_ / "table.out";
        test::WriteBytes(file, table.out);
        return file;
    }());
    // Title, header, the patterns, and the three lines of the estimate of overfitting.
    ASSERT_EQ(lines.size(), 5 + kPatterns.size());
    EXPECT_NE(lines[1].find("補正下限"), std::string::npos);
    EXPECT_NE(lines[1].find("後期回収率"), std::string::npos);
    EXPECT_NE(lines[1].find("期待回収率"), std::string::npos);
    EXPECT_NE(lines[1].find("100%超確率"), std::string::npos);
    EXPECT_EQ(lines[lines.size() - 3].rfind("過剰適合確率 (PBO): ", 0), 0u)
        << lines[lines.size() - 3];
    EXPECT_EQ(lines[lines.size() - 2].rfind("前半最良の後半回収率 中央値: ", 0), 0u)
        << lines[lines.size() - 2];
    EXPECT_EQ(lines.back().rfind("前半最良が後半で損をする確率: ", 0), 0u) << lines.back();
    // Aligned: every row as wide as the header, its last column right-aligned.
    for (std::size_t i = 2; i < 2 + kPatterns.size(); ++i) {
        EXPECT_EQ(DisplayWidth(lines[i]), DisplayWidth(lines[1])) << lines[i];
    }

    const ReportRun csv = Run({"--all-patterns", "--csv", "--bet", "wide"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(csv.out.substr(0, csv.out.find("\r\n")),
              "パターン,ｺｰﾄﾞ,ﾚｰｽ数,投票,払戻,損益,回収率,95%区間,補正下限,期待回収率,100%超確率,"
              "的中率,平均配当,的中数,最大DD");
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 1 + kPatterns.size());

    // A later part without a race has no rate: —, an empty field, null.
    const std::vector<std::string> empty = {"--all-patterns", "--split", "2030-01-01"};
    EXPECT_NE(Run(empty).out.find("—\n"), std::string::npos);
    std::vector<std::string> asCsv = empty;
    asCsv.push_back("--csv");
    EXPECT_NE(Run(asCsv).out.find(",\r\n"), std::string::npos);
    std::vector<std::string> asJson = empty;
    asJson.push_back("--json");
    const Json json = RunJson(asJson);
    EXPECT_TRUE(json["patterns"][0]["later"]["bets"]["win"]["recovery"].is_null());
    EXPECT_TRUE(json["patterns"][0]["later"]["bets"]["win"]["hitRate"].is_null());
    EXPECT_FALSE(json["patterns"][0]["bets"]["win"]["recovery"].is_null());
}

TEST(RankingCommand, FoldersWithoutPatternsAndUsage) {
    const test::TempFolder folder;
    const ReportRun empty = RunReport({"--folder", folder.PathText(), "--all-patterns", "--json"});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_EQ(Json::parse(empty.out), Json::parse(R"({"message": "FILE NOT FOUND."})"));
    const ReportRun missing = RunReport({"--folder", (folder / "none").string(), "--all-patterns"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("の中を読めません"), std::string::npos) << missing.err;
    test::WriteBytes(folder / "file", "x");
    EXPECT_EQ(RunReport({"--folder", (folder / "file").string(), "--all-patterns"}).exitCode, 1);

    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"--all-patterns", "--bet", "exacta"},
                                               {"--all-patterns", "--split", "2001-4-1"},
                                               {"--all-patterns", "--min-races", "-1"},
                                               {"--all-patterns", "--pattern", "Q1RN"},
                                               {"--all-patterns", "--json", "--csv"},
                                               {"--all-patterns", "--sort", "best"},
                                               {"--split", "2001-04-01"},
                                               {"--all-patterns", "--by", "venue"},
                                               {"--all-patterns", "--series"}}) {
        const ReportRun run = RunReport(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments[1];
        EXPECT_NE(run.err.find("Usage:"), std::string::npos);
    }
}

#ifdef __linux__
// A link to the process's own memory lists as a plain file and fails to read.
TEST_F(RankingFolder, UnreadablePatternIsNamedAndTheOthersRanked) {
    fs::create_symlink("/proc/self/mem", data_ / "P_mem_Z3WN.txt");
    const ReportRun run = Run({"--all-patterns", "--json"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.err.find("Z3WN: ファイル「"), std::string::npos) << run.err;
    EXPECT_EQ(Json::parse(run.out)["patterns"].size(), kPatterns.size() - 1);
}
#endif

TEST(RankingCommand, BundledSamples) {
    const ReportRun run = RunReport({"--folder", LOMI_SAMPLES_DIR, "--all-patterns"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("Q1RN"), std::string::npos);
    EXPECT_NE(run.out.find("80.65%"), std::string::npos);  // the sample report's 単勝 line
}

}  // namespace
}  // namespace lomi
