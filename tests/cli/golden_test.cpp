// Whole scenarios from tests/golden: ticket files in, report out, through
// both the service every front end calls and the lomi-report program.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "analysis/pattern_analysis.h"
#include "cli/report_options.h"
#include "cli/run_report.h"
#include "support/temp_folder.h"

namespace lomi {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Cases() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(LOMI_GOLDEN_DIR)) {
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class GoldenReport : public testing::TestWithParam<std::string> {
protected:
    fs::path CaseFolder() const { return fs::path(LOMI_GOLDEN_DIR) / GetParam(); }
    std::vector<std::string> Arguments() const {
        return test::ReadLines(CaseFolder() / "args.txt");
    }
    std::string Expected() const { return test::ReadBytes(CaseFolder() / "report.txt"); }
};

TEST_P(GoldenReport, TheServiceGivesTheReport) {
    const test::TempFolder data;
    test::WriteGoldenInput(GetParam(), data.Path());

    // The arguments as lomi-report reads them, then the service's steps
    // that every front end takes: select, load, commit, tally.
    std::vector<std::string> arguments = Arguments();
    arguments.insert(arguments.begin(), "lomi-report");
    std::vector<const char*> argv;
    for (const auto& argument : arguments) argv.push_back(argument.c_str());
    std::ostringstream out, err;
    const ParsedArguments parsed =
        ParseReportArguments(static_cast<int>(argv.size()), argv.data(), out, err);
    ASSERT_TRUE(parsed.options) << err.str();
    ASSERT_TRUE(parsed.options->pattern);

    // Without the record cache, while it is built and once it is built
    // (the files made old enough for it to trust them).
    const test::TempFolder cacheRoot;
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const auto& entry : fs::directory_iterator(data.Path())) {
        fs::last_write_time(entry.path(), old);
    }
    RecordCacheOptions cache;
    for (const std::string way : {"off", "building", "built"}) {
        ProgramState state;
        state.DataFolder = data.PathText();
        ASSERT_TRUE(SelectPattern(state, *parsed.options->pattern));
        PatternLoad load = LoadPattern(state.DataFolder, state.PatternFileMask, {}, {}, cache);
        ASSERT_EQ(load.status, LoadStatus::Loaded) << load.message;
        ASSERT_TRUE(CommitLoad(state, std::move(load)));
        EXPECT_EQ(TallyLoaded(state, parsed.options->conditions).report, Expected()) << way;
        cache.folder = (cacheRoot / "records").string();
    }
    EXPECT_TRUE(fs::exists(cacheRoot / "records"));
}

TEST_P(GoldenReport, ProgramPrintsTheReportWithLfLineEnds) {
    const test::TempFolder data;
    test::WriteGoldenInput(GetParam(), data.Path());
    std::vector<std::string> arguments = {"--folder", data.PathText()};
    for (const auto& argument : Arguments()) arguments.push_back(argument);
    const test::ReportRun run = test::RunReport(arguments);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out.find('\r'), std::string::npos);
    EXPECT_EQ(test::WithCrLf(run.out), Expected());
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenReport, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });

}  // namespace
}  // namespace lomi
