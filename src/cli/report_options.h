#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "analysis/breakdown.h"
#include "cli/console_encoding.h"
#include "tally/bet_type.h"
#include "tally/pattern_names.h"
#include "tally/race_filter.h"

namespace lomi {

// What one run of lomi-report was asked to do.
struct ReportOptions {
    std::optional<std::string> folder;         // --folder, else PATH of the settings
    std::optional<PatternSelections> pattern;  // --pattern, else CON1..CON4
    RaceConditions conditions;                 // 0 / "全抽出" when not given
    bool json = false;
    bool csv = false;  // tables as CSV
    bool showSettings = false;
    bool noCache = false;       // --no-cache: every file read from the folder
    bool rebuildCache = false;  // --rebuild-cache: the record cache written afresh
    OutputEncoding encoding = OutputEncoding::Utf8;  // --encoding

    // --all-patterns: every pattern of the folder ranked.
    bool allPatterns = false;
    std::string splitDate;  // --split, YYYYMMDD; empty for none
    BetType bet = BetType::Win;
    std::int64_t minRaces = 0;
    bool sortByExpected = false;      // --sort expected: by 期待回収率 instead of 回収率
    std::optional<BreakdownAxis> by;  // --by: the tally split by one axis
    bool series = false;              // --series: cumulative profit per race day
};

// Either options to run with, or the exit code of a run that ends here:
// 0 after --help or --version (printed to out), 2 after a usage error
// (message and short usage printed to err).
struct ParsedArguments {
    std::optional<ReportOptions> options;
    int exitCode = 0;
};

ParsedArguments ParseReportArguments(int argc, const char* const argv[], std::ostream& out,
                                     std::ostream& err);

// Exit codes of lomi-report.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// The usage lines printed after a usage error.
std::string ShortUsage();

}  // namespace lomi
