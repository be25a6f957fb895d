// lomi-report with the record cache: the same output with the cache off,
// while it is built and once it is built, also with two runs at once.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "cli/run_report.h"
#include "corpus_writer.h"
#include "support/temp_folder.h"

namespace lomi {
namespace {

namespace fs = std::filesystem;
using test::ReportRun;

#ifdef _WIN32
constexpr const char* kCacheVariable = "LOCALAPPDATA";
void SetVariable(const char* name, const std::string& value) { _putenv_s(name, value.c_str()); }
#else
constexpr const char* kCacheVariable = "XDG_CACHE_HOME";
void SetVariable(const char* name, const std::string& value) { setenv(name, value.c_str(), 1); }
#endif

class CachedReport : public testing::Test {
protected:
    void SetUp() override {
        samples::RaceDay first{}, last{};
        samples::ParseDate("2001-04-07", first);
        samples::ParseDate("2001-06-30", last);
        samples::WriteCorpus(data_.PathText(), {"Q1RN", "T5PB", "R2FB"}, first, last, 5, 0);
        // Old enough for the cache to trust.
        const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
        for (const auto& entry : fs::directory_iterator(data_.Path())) {
            fs::last_write_time(entry.path(), old);
        }
        const char* before = std::getenv(kCacheVariable);
        saved_ = before ? before : "";
        SetVariable(kCacheVariable, cacheHome_.PathText());
    }
    void TearDown() override { SetVariable(kCacheVariable, saved_); }

    ReportRun Run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--folder", data_.PathText()});
        return test::RunReport(arguments);
    }
    std::size_t CacheFiles() const {
        std::size_t files = 0;
        for (const auto& entry : fs::recursive_directory_iterator(cacheHome_.Path())) {
            EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos);
            files += entry.path().extension() == ".records";
        }
        return files;
    }

    test::TempFolder data_;
    test::TempFolder cacheHome_;
    std::string saved_;
};

const std::vector<std::vector<std::string>> kRuns = {
    {"--pattern", "Q1RN", "--json"},
    {"--pattern", "T5PB"},
    {"--all-patterns", "--json", "--split", "2001-05-20"},
    {"--pattern", "R2FB", "--by", "venue", "--json"},
    {"--pattern", "Q1RN", "--series", "--csv"},
};

TEST_F(CachedReport, OffBuildingAndBuiltGiveTheSameOutput) {
    for (const auto& arguments : kRuns) {
        std::vector<std::string> off = arguments;
        off.push_back("--no-cache");
        const ReportRun expected = Run(off);
        ASSERT_EQ(expected.exitCode, 0) << expected.err;
        std::vector<std::string> rebuild = arguments;
        rebuild.push_back("--rebuild-cache");
        for (const auto& run : {Run(arguments), Run(arguments), Run(rebuild), Run(arguments)}) {
            EXPECT_EQ(run.exitCode, 0);
            EXPECT_EQ(run.err, "");
            EXPECT_EQ(run.out, expected.out) << arguments[1];
        }
    }
    EXPECT_EQ(CacheFiles(), 3u);
    EXPECT_EQ(Run({"--no-cache", "--rebuild-cache"}).exitCode, 2);
}

TEST_F(CachedReport, TwoRankingsAtOnceLoseAndBreakNothing) {
    const std::vector<std::string> ranking = {"--all-patterns", "--json"};
    std::vector<std::string> off = ranking;
    off.push_back("--no-cache");
    const ReportRun expected = Run(off);
    for (int round = 0; round < 2; ++round) {  // building, then built
        auto first = std::async(std::launch::async, [&] { return Run(ranking); });
        auto second = std::async(std::launch::async, [&] { return Run(ranking); });
        for (const ReportRun& run : {first.get(), second.get()}) {
            EXPECT_EQ(run.exitCode, 0);
            EXPECT_EQ(run.err, "");
            EXPECT_EQ(run.out, expected.out) << "round " << round;
        }
        EXPECT_EQ(CacheFiles(), 3u);
    }
}

}  // namespace
}  // namespace lomi
