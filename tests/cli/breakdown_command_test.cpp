// lomi-report --by and --series: every group is the report of a run
// restricted to its value, the series ends at the report, and the output
// forms and their errors.

#include <gtest/gtest.h>

#include <cstdio>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/run_report.h"
#include "support/temp_folder.h"
#include "support/ticket_files.h"

namespace lomi {
namespace {

using Json = nlohmann::json;
using test::ReportRun;
using test::RunReport;

const std::string kSamples = LOMI_SAMPLES_DIR;

Json RunJson(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--folder", kSamples, "--pattern", "T5PB", "--json"});
    const ReportRun run = RunReport(arguments);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return Json::parse(run.out);
}

TEST(BreakdownCommand, EachGroupIsTheReportOfItsCondition) {
    struct Axis {
        const char* name;
        const char* option;  // the condition of one value, or empty for dates
    };
    const Axis axes[] = {{"venue", "--venue"},       {"race", "--race"},   {"runners", "--runners"},
                         {"age", "--age"},           {"class", "--class"}, {"surface", "--surface"},
                         {"distance", "--distance"}, {"year", ""},         {"month", ""}};
    const std::vector<std::string> period = {"--from", "2001-04-08", "--to", "2001-06-30"};
    const Json report = RunJson(period);
    for (const Axis& axis : axes) {
        std::vector<std::string> arguments = period;
        arguments.insert(arguments.end(), {"--by", axis.name});
        const Json breakdown = RunJson(arguments);
        EXPECT_EQ(breakdown["by"], axis.name);
        EXPECT_EQ(breakdown["total"]["tally"], report["tally"]) << axis.name;
        EXPECT_TRUE(breakdown["message"].is_null());
        ASSERT_FALSE(breakdown["groups"].empty()) << axis.name;
        std::int64_t records = 0;
        for (const Json& group : breakdown["groups"]) {
            records += group["recordCount"].get<std::int64_t>();
            const std::string key = group["key"];
            std::vector<std::string> restricted = period;
            if (*axis.option != '\0') {
                restricted.insert(restricted.end(), {axis.option, key});
            } else if (std::string(axis.name) == "month") {
                const std::string month = key.substr(0, 4) + "-" + key.substr(4, 2);
                restricted = {"--from", std::max(month + "-01", period[1]), "--to",
                              std::min(month + "-31", period[3])};
            } else {
                restricted = {"--from", key + "-04-08", "--to", key + "-06-30"};
            }
            EXPECT_EQ(group["tally"], RunJson(restricted)["tally"]) << axis.name << " " << key;
        }
        // Only the period's races are grouped.
        EXPECT_LT(records, report["recordCount"].get<std::int64_t>()) << axis.name;
        EXPECT_EQ(records, breakdown["recordCount"].get<std::int64_t>()) << axis.name;
    }
}

TEST(BreakdownCommand, PeriodLeavesOutGroupsWithoutRacesInIt) {
    // One race a day on four days, 1995 to 2000, at four venues.
    struct Day {
        int year, month, day, venue;
        const char* name;
    };
    const Day days[] = {{1995, 1, 8, 1, "札幌1R"},
                        {1997, 3, 9, 5, "東京1R"},
                        {1998, 6, 14, 6, "中山1R"},
                        {2000, 1, 5, 9, "阪神1R"}};
    const test::TempFolder data;
    for (const Day& d : days) {
        char file[32];
        std::snprintf(file, sizeof file, "P%02d%02d%02dQ1RN.txt", d.year % 100, d.month, d.day);
        test::RaceFields fields;
        fields.venue = d.venue;
        test::WriteTicketFile(data.Path(), file,
                              {test::HeaderLine(d.year, d.month, d.day),
                               test::DataLine(d.name, {"01-02", "", "", "", "", ""},
                                              test::RaceData(fields))});
    }
    struct Case {
        const char* by;
        std::vector<std::string> keys;
    };
    const Case cases[] = {{"month", {"199703", "199806"}},
                          {"year", {"1997", "1998"}},
                          {"venue", {"05", "06"}}};
    for (const Case& c : cases) {
        const ReportRun run = RunReport({"--folder", data.PathText(), "--pattern", "Q1RN", "--json",
                                         "--from", "1997-01-01", "--to", "1998-12-31", "--by",
                                         c.by});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const Json breakdown = Json::parse(run.out);
        std::vector<std::string> keys;
        for (const Json& group : breakdown["groups"]) {
            keys.push_back(group["key"]);
            EXPECT_EQ(group["recordCount"], 1) << c.by;
        }
        EXPECT_EQ(keys, c.keys) << c.by;
        EXPECT_EQ(breakdown["recordCount"], 2) << c.by;  // 総ﾚｰｽ: the period's races
    }
}

TEST(BreakdownCommand, SeriesEndsAtTheReport) {
    const Json report = RunJson({});
    const Json series = RunJson({"--series"});
    ASSERT_FALSE(series["series"].empty());
    const Json& last = series["series"].back();
    for (const char* bet : {"win", "place", "quinella", "wide"}) {
        EXPECT_EQ(last[bet], report["bets"][bet]["profit"]) << bet;
        EXPECT_GE(series["maxDrawdown"][bet].get<std::int64_t>(), 0);
    }
    EXPECT_EQ(series["series"][0]["date"], "2001-04-07");

    const ReportRun csv =
        RunReport({"--folder", kSamples, "--pattern", "T5PB", "--series", "--csv"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(csv.out.substr(0, 30), "date,win,place,quinella,wide\r\n");
    const std::string lastRow = "\r\n" + std::string(last["date"]) + "," +
                                std::to_string(last["win"].get<std::int64_t>()) + ",";
    EXPECT_NE(csv.out.find(lastRow), std::string::npos) << csv.out;
}

TEST(BreakdownCommand, TextAndCsvForms) {
    const ReportRun text =
        RunReport({"--folder", kSamples, "--pattern", "Q1RN", "--by", "surface"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    // Columns line up under the header, full-width names taking two places.
    EXPECT_EQ(text.out.substr(0, text.out.find("  総ﾚｰｽ")), "馬場    値");
    EXPECT_NE(text.out.find("\n芝      1 "), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("\nダート  2 "), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("\n合計       "), std::string::npos) << text.out;

    const ReportRun csv =
        RunReport({"--folder", kSamples, "--pattern", "Q1RN", "--by", "surface", "--csv"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(csv.out.rfind("馬場,値,総ﾚｰｽ,抽出ﾚｰｽ,単勝投票,", 0), 0u) << csv.out;
    EXPECT_NE(csv.out.find("\r\n芝,1,"), std::string::npos);
    EXPECT_NE(csv.out.find("\r\n合計,,"), std::string::npos);

    const ReportRun figures = RunReport({"--folder", kSamples, "--pattern", "Q1RN", "--csv"});
    ASSERT_EQ(figures.exitCode, 0) << figures.err;
    EXPECT_EQ(figures.out.rfind("総ﾚｰｽ,抽出ﾚｰｽ,単勝投票,", 0), 0u) << figures.out;
}

TEST(BreakdownCommand, UsageErrorsAndEmptyLoads) {
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"--by", "weather"},
                                                      {"--by", "venue", "--series"},
                                                      {"--json", "--csv"},
                                                      {"--by"}}) {
        std::vector<std::string> full = {"--folder", kSamples, "--pattern", "Q1RN"};
        full.insert(full.end(), arguments.begin(), arguments.end());
        const ReportRun run = RunReport(full);
        EXPECT_EQ(run.exitCode, 2) << arguments[0];
        EXPECT_NE(run.err.find("Usage: lomi-report"), std::string::npos) << run.err;
    }

    // Files without a data line: FILE NOT OPEN. in every form.
    const test::TempFolder empty;
    test::WriteBytes(empty / "P010415Q1RN.txt", "");
    const std::vector<std::string> base = {"--folder", empty.PathText(), "--pattern", "Q1RN"};
    auto with = [&](std::vector<std::string> more) {
        more.insert(more.begin(), base.begin(), base.end());
        return RunReport(more);
    };
    const ReportRun text = with({"--by", "year"});
    EXPECT_EQ(text.exitCode, 1);
    EXPECT_EQ(text.err, "FILE NOT OPEN.\n");
    const Json by = Json::parse(with({"--by", "year", "--json"}).out);
    EXPECT_EQ(by["groups"], Json::array());
    EXPECT_EQ(by["message"], "FILE NOT OPEN.");
    const Json series = Json::parse(with({"--series", "--json"}).out);
    EXPECT_EQ(series["series"], Json::array());
    EXPECT_EQ(series["message"], "FILE NOT OPEN.");
}

}  // namespace
}  // namespace lomi
