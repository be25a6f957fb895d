// lomi-report as users and scripts see it: the real program, its output
// streams and exit codes.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/run_report.h"
#include "support/temp_folder.h"
#include "support/ticket_files.h"

namespace lomi {
namespace {

namespace fs = std::filesystem;
using test::ReportRun;
using test::RunReport;

std::string ExampleReport() {
    return test::ReadBytes(fs::path(LOMI_GOLDEN_DIR) / "worked_example" / "report.txt");
}

// A folder with the six races of the worked example (pattern Q1RN).
class ExampleFolder : public testing::Test {
protected:
    void SetUp() override { test::WriteGoldenInput("worked_example", data_.Path()); }
    ReportRun Run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--folder", data_.PathText()});
        return RunReport(arguments);
    }
    test::TempFolder data_;
};

// A copy of the program in a folder of its own, with a Lomi.ini beside it
// when bytes are given, as a user would install it.
class InstalledCopy {
public:
    explicit InstalledCopy(const std::string& iniBytes = {}) {
        fs::copy_file(test::ReportProgram(), Program());
        if (!iniBytes.empty()) test::WriteBytes(folder_ / "Lomi.ini", iniBytes);
    }
    fs::path Program() const { return folder_ / "lomi-report"; }
    ReportRun Run(const std::vector<std::string>& arguments, const fs::path& workingFolder = {}) {
        return RunReport(arguments, workingFolder.empty() ? folder_.Path() : workingFolder,
                         Program());
    }

private:
    test::TempFolder folder_;
};

TEST_F(ExampleFolder, ReportGoesToStandardOutput) {
    const ReportRun run = Run({"--pattern", "Q1RN"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(test::WithCrLf(run.out), ExampleReport());
}

TEST_F(ExampleFolder, ConditionsNarrowTheRaces) {
    const ReportRun run = Run({"--pattern", "Q1RN", "--runners", "16", "--or-more"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("総ﾚｰｽ：6  抽出ﾚｰｽ：2\n"), std::string::npos);
    EXPECT_NE(run.out.find("単勝        200       680       480   340.00%   100.00%       340\n"),
              std::string::npos);
    EXPECT_NE(run.out.find("連勝        600      8600      8000  1433.33%    50.00%      8600\n"),
              std::string::npos);

    // Codes are decimal: 05 is 5 and 09 is 9, never octal.
    const ReportRun leadingZeros = Run({"--pattern", "Q1RN", "--venue", "05", "--race", "09"});
    ASSERT_EQ(leadingZeros.exitCode, 0) << leadingZeros.err;
    EXPECT_NE(leadingZeros.out.find("抽出ﾚｰｽ：1\n"), std::string::npos);

    const ReportRun dated = Run({"--pattern", "q1rn", "--date", "2001-04-22"});
    ASSERT_EQ(dated.exitCode, 0) << dated.err;
    EXPECT_NE(dated.out.find("抽出ﾚｰｽ：1\n"), std::string::npos);
    const ReportRun allDates = Run({"--pattern", "Q1RN", "--date", "全抽出", "--venue", "0"});
    EXPECT_EQ(test::WithCrLf(allDates.out), ExampleReport());
}

TEST_F(ExampleFolder, JsonShowsEveryStep) {
    const ReportRun run = Run({"--pattern", "Q1RN", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const auto json = nlohmann::ordered_json::parse(run.out);

    std::vector<std::string> keys;
    for (const auto& [key, value] : json.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"mask", "files", "recordCount", "records", "lists",
                                              "selectors", "description", "tally", "bets", "report",
                                              "message"}));
    EXPECT_EQ(json["mask"], "P*Q1RN.txt");
    EXPECT_EQ(json["files"], nlohmann::json({"P010415Q1RN.txt", "P010422Q1RN.txt"}));
    EXPECT_EQ(json["recordCount"], 6);
    ASSERT_EQ(json["records"].size(), 6u);
    EXPECT_EQ(json["records"][0], "05111646116  23  12    0    0320010415");
    EXPECT_EQ(json["records"][5], "06051022212   0   0----------020010422");

    const auto& lists = json["lists"];
    EXPECT_EQ(lists["venue"], nlohmann::json({5, 6}));
    EXPECT_EQ(lists["race"], nlohmann::json({5, 9, 10, 11}));
    EXPECT_EQ(lists["runners"], nlohmann::json({10, 12, 14, 16, 18}));
    EXPECT_EQ(lists["distance"], nlohmann::json({12, 14, 16, 20, 24}));
    EXPECT_EQ(lists["date"], nlohmann::json({"20010422", "20010415"}));

    const auto& selectors = json["selectors"];
    EXPECT_EQ(selectors["venue"], nlohmann::json({"全抽出", "東京", "中山"}));
    EXPECT_EQ(selectors["race"][4], "１１レース");
    EXPECT_EQ(selectors["distance"][1], "1200m");
    EXPECT_EQ(selectors["date"], nlohmann::json({"全抽出", "2001-04-22", "2001-04-15"}));
    for (const auto& [key, items] : selectors.items()) EXPECT_EQ(items[0], "全抽出") << key;

    EXPECT_EQ(json["description"], "仮単人気の１位からＲ値への流し馬券");
    const auto& tally = json["tally"];
    EXPECT_EQ(tally["WinPayout"], 680);
    EXPECT_EQ(tally["PlaceHits"], 3);
    EXPECT_EQ(tally["QuinellaPayout"], 8600);
    EXPECT_EQ(tally["PairTickets"], 12);
    EXPECT_EQ(tally["ExtractedRaces"], 5);
    EXPECT_EQ(tally.size(), 10u);
    // The report's own figures, as numbers.
    const auto& quinella = json["bets"]["quinella"];
    EXPECT_EQ(quinella["stake"], 1200);
    EXPECT_EQ(quinella["profit"], 7400);
    EXPECT_EQ(quinella["recovery"], 716.67);
    EXPECT_EQ(quinella["hitRate"], 20.0);
    EXPECT_EQ(quinella["averageDividend"], 8600);
    EXPECT_EQ(json["bets"].size(), 4u);
    EXPECT_EQ(json["report"], ExampleReport());  // CR LF kept
    EXPECT_TRUE(json["message"].is_null());
}

TEST(ReportCommand, NoMatchingFileIsFileNotFound) {
    const test::TempFolder empty;
    test::WriteGoldenInput("worked_example", empty.Path());
    // A folder that cannot be listed is named, with the reason.
    const std::string missing = (empty / "missing").string();
    const std::pair<std::string, std::string> cases[] = {
        {empty.PathText(), "FILE NOT FOUND.\n"},
        {missing, "FILE NOT FOUND.\nlomi-report: " + missing + ": ﾌｫﾙﾀﾞが見つかりません\n"}};
    for (const auto& [folder, message] : cases) {
        const ReportRun run = RunReport({"--folder", folder, "--pattern", "T1TN"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, message);
        const ReportRun json = RunReport({"--folder", folder, "--pattern", "T1TN", "--json"});
        EXPECT_EQ(json.exitCode, 1);
        EXPECT_EQ(nlohmann::json::parse(json.out),
                  nlohmann::json({{"message", "FILE NOT FOUND."}}));
    }
}

TEST(ReportCommand, FilesWithoutDataLinesAreFileNotOpen) {
    const test::TempFolder data;
    test::WriteTicketFile(data.Path(), "P010415Q1RN.txt", {test::HeaderLine(2001, 4, 15), ""});
    const ReportRun run = RunReport({"--folder", data.PathText(), "--pattern", "Q1RN"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "FILE NOT OPEN.\n");

    // --json still shows what was read, and the run is not a failure.
    const ReportRun json = RunReport({"--folder", data.PathText(), "--pattern", "Q1RN", "--json"});
    EXPECT_EQ(json.exitCode, 0);
    const auto parsed = nlohmann::json::parse(json.out);
    EXPECT_EQ(parsed["message"], "FILE NOT OPEN.");
    EXPECT_TRUE(parsed["tally"].is_null());
    EXPECT_TRUE(parsed["report"].is_null());
    EXPECT_EQ(parsed["recordCount"], 0);
    EXPECT_EQ(parsed["files"], nlohmann::json({"P010415Q1RN.txt"}));
    EXPECT_EQ(parsed["selectors"]["date"], nlohmann::json({"全抽出"}));
}

TEST(ReportCommand, LoadErrorNamesTheFile) {
    // More distinct race dates than the date list can count.
    std::vector<std::string> lines;
    const std::string race =
        test::DataLine("東京1R", {"01-02", "", "", "", "", ""}, test::RaceData({}));
    for (int year = 10000; year < 10000 + 32768; ++year) {
        lines.push_back(test::HeaderLine(year, 1, 1));
        lines.push_back(race);
    }
    const test::TempFolder data;
    test::WriteTicketFile(data.Path(), "P990101Q1RN.txt", lines);
    const ReportRun run = RunReport({"--folder", data.PathText(), "--pattern", "Q1RN"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("P990101Q1RN.txt"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
}

TEST(ReportCommand, UsageErrorsExitWithTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {"--pattern", "Q1R"},
        {"--pattern", "X1RN"},
        {"--pattern", "Q6RN"},
        {"--venue", "abc"},
        {"--race", "1.5"},
        {"--runners", ""},
        {"--age", "0x3"},
        {"--distance", "99999999999"},
        {"--date", "20010415"},
        {"--date", "2001-4-15"},
        {"--date", "2001-04-1x"},
        {"--folder", ""},
        {"--bogus"},
        {"extra"},
        {"--venue"},
    };
    for (const auto& arguments : cases) {
        const ReportRun run = RunReport(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments[0];
        EXPECT_EQ(run.out, "") << arguments[0];
        EXPECT_NE(run.err.find("Usage: lomi-report"), std::string::npos) << run.err;
    }
    const ReportRun pattern = RunReport({"--pattern", "Q1RX"});
    EXPECT_NE(pattern.err.find("T F R Z W P Q"), std::string::npos) << pattern.err;
    EXPECT_NE(pattern.err.find("N B"), std::string::npos) << pattern.err;
}

TEST(ReportCommand, HelpAndVersion) {
    const ReportRun help = RunReport({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.err, "");
    for (const char* text :
         {"Usage: lomi-report", "--folder DIR", "--pattern CODE", "--or-more", "--date YYYY-MM-DD",
          "--json", "--show-settings", "仮単人気", "Q1RN", "Lomi.ini"}) {
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
    }
    // The last line names the guide.
    const std::string last = help.out.substr(help.out.rfind('\n', help.out.size() - 2) + 1);
    EXPECT_EQ(last.rfind("Guide (使い方", 0), 0u) << last;
    const ReportRun version = RunReport({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "lomi-report 1.02\n");
}

TEST(ReportCommand, ShowSettingsPrintsWhatTheWindowReads) {
    // Written by hand in code page 932: a Japanese folder, other letter
    // case, blanks and numbers the way the settings reader takes them.
    const std::string ini = "[def]\r\npath=D:\\" + std::string("\x8B\xA3\x94\x6E") +
                            "\\data\r\n"
                            "CON1=2.5\r\nCon2= 3\r\nCON3=abc\r\nCON4=\r\n";
    InstalledCopy copy(ini);
    const ReportRun run = copy.Run({"--show-settings"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "PATH=D:\\競馬\\data\nCON1=2\nCON2=3\nCON3=0\nCON4=1\nFILE=" +
                           (copy.Program().parent_path() / "Lomi.ini").string() +
                           "\nNOTE=プログラムのﾌｫﾙﾀﾞの設定ファイルを読みました。"
                           "終了時にここへ保存します。\n");
}

TEST(ReportCommand, ShowSettingsWithoutFileGivesTheDefaults) {
    InstalledCopy copy;
    const test::TempFolder elsewhere;
    const ReportRun run = copy.Run({"--show-settings"}, elsewhere.Path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "PATH=" + elsewhere.PathText() + "\nCON1=7\nCON2=1\nCON3=3\nCON4=1\nFILE=" +
                           (copy.Program().parent_path() / "Lomi.ini").string() +
                           "\nNOTE=設定ファイルはまだありません。"
                           "終了時にプログラムのﾌｫﾙﾀﾞへ作ります。\n");
}

TEST(ReportCommand, SettingsGiveFolderAndPatternAndOptionsWin) {
    const test::TempFolder data;
    test::WriteGoldenInput("worked_example", data.Path());
    fs::remove(data / "P010415T5PB.txt");  // the box pattern's own files follow
    test::WriteGoldenInput("box_pattern", data.Path());
    InstalledCopy copy("[DEF]\r\nPATH=" + data.PathText() +
                       "\r\nCON1=1\r\nCON2=5\r\nCON3=6\r\nCON4=2\r\n");

    const ReportRun fromSettings = copy.Run({});  // T5PB in the folder of PATH
    ASSERT_EQ(fromSettings.exitCode, 0) << fromSettings.err;
    EXPECT_EQ(test::WithCrLf(fromSettings.out),
              test::ReadBytes(fs::path(LOMI_GOLDEN_DIR) / "box_pattern" / "report.txt"));

    const ReportRun pattern = copy.Run({"--pattern", "Q1RN"});
    EXPECT_EQ(test::WithCrLf(pattern.out), ExampleReport());

    const test::TempFolder empty;
    const ReportRun folder = copy.Run({"--folder", empty.PathText()});
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_EQ(folder.err, "FILE NOT FOUND.\n");
}

TEST(ReportCommand, WithoutSettingsTheCurrentDirectoryAndDefaultPatternAreUsed) {
    const test::TempFolder data;
    test::WriteGoldenInput("worked_example", data.Path());
    InstalledCopy copy;
    const ReportRun run = copy.Run({}, data.Path());  // default pattern Q1RN
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(test::WithCrLf(run.out), ExampleReport());
}

TEST(ReportCommand, PatternOutOfRangeInTheSettingsIsReported) {
    InstalledCopy copy("[DEF]\r\nCON1=9\r\n");
    const ReportRun run = copy.Run({});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("CON1=9"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("範囲外"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--pattern"), std::string::npos) << run.err;

    // An explicit pattern makes the run work again.
    const test::TempFolder data;
    test::WriteGoldenInput("worked_example", data.Path());
    const ReportRun fixed = copy.Run({"--pattern", "Q1RN", "--folder", data.PathText()});
    EXPECT_EQ(fixed.exitCode, 0) << fixed.err;
}

}  // namespace
}  // namespace lomi
