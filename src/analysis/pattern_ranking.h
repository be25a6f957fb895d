#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "data/ticket_reader.h"
#include "tally/bet_type.h"
#include "tally/figures.h"
#include "tally/pattern_names.h"
#include "tally/race_conditions.h"

namespace lomi {

// Every pattern of a data folder tallied under the same conditions, to rank
// the patterns against each other. Each pattern is read as a load reads it
// and tallied by the race filter, then its records are dropped: memory
// holds one pattern per worker thread, whatever the number of patterns.

// The files of one pattern, from one listing of the folder.
struct PatternFiles {
    std::string code;  // the four pattern characters, upper case ("Q1RN")
    PatternSelections selections{};
    std::vector<std::string> files;  // in reading order
};

// What ranks a bet type beside the report's figures.
struct BetSpread {
    // The races that add to the bet's stake or payout: the samples of the
    // interval (単勝 and 複勝: every counted race; 連勝 and ﾜｲﾄﾞ: the races
    // with a pair ticket or a payout).
    std::int64_t samples = 0;
    // Standard error of the recovery (a ratio, not percent); 0 without an
    // interval.
    double standardError = 0;
    // 95% interval of the recovery rate in percent (Student's t, samples - 1
    // degrees of freedom), the lower end never below 0; nothing with fewer
    // than two samples or no spread.
    std::optional<double> recoveryLow;
    std::optional<double> recoveryHigh;
    // The lower end corrected for the number of patterns ranked
    // (SetAdjustedBounds), and whether it is above 100%.
    std::optional<double> recoveryLowAdjusted;
    bool significant = false;
    // The largest fall of the cumulative profit taken after each race day,
    // days in date order; yen.
    std::int64_t maxDrawdown = 0;
};

// The sums of one race day's counted races of a pattern: the drawdown
// follows them, and the estimate of overfitting folds them into blocks.
struct RaceDaySums {
    // The date text's first eight bytes, big-endian, the bytes a shorter
    // text lacks as zeros: orders as the text does.
    std::uint64_t date = 0;
    std::int32_t races = 0;
    std::int32_t pairTickets = 0;
    std::array<std::int64_t, 4> payout{};  // yen, by BetType

    // The day's stake and payout of bet (hits left 0), as a tally counts them.
    BetFigures Bet(BetType bet) const;
    // The date's text again (YYYYMMDD for the usual eight bytes).
    std::string DateText() const;
};

// The counted races of one part of the period (all of it without a split).
struct RankedPart {
    std::int64_t recordCount = 0;  // loaded records dated in this part
    TallyAccumulators tally;
    TallyFigures figures;              // ComputeFigures(recordCount, tally)
    std::array<BetSpread, 4> spreads;  // by BetType
    std::vector<RaceDaySums> days;     // in date order, one per date

    const BetSpread& Spread(BetType bet) const { return spreads[Index(bet)]; }
};

struct PatternRanking {
    std::string code;
    PatternSelections selections{};
    std::string description;  // as the main window describes the pattern
    std::size_t files = 0;
    // Empty when the pattern was read; otherwise why it could not be (its
    // figures are then empty).
    std::string failure;
    RankedPart earlier;               // the whole period, or the races before the split date
    std::optional<RankedPart> later;  // from the split date on, with a split

    bool Ranked() const { return failure.empty(); }
};

struct RankingOptions {
    RaceConditions conditions;
    std::string splitDate;  // YYYYMMDD; empty for no split
    unsigned threads = 0;   // 0: one per processor
    // Each thread with a table of open files of its own (UseOwnFileTable):
    // faster, but only for a process that does nothing else meanwhile (the
    // command line), since the copy keeps every descriptor the process had
    // open, and with it a lock or a pipe's end, until the run ends.
    bool ownFileTables = false;
    // The program state's record cache (RecordCache); off by default.
    RecordCacheOptions cache{};
};

enum class RankingStatus {
    Ranked,     // every pattern done (some may have failed)
    NotFound,   // no file fits a pattern: message is "FILE NOT FOUND."
    Failed,     // the folder could not be listed, or the work failed: message says why
    Cancelled,  // stopped on request: patterns holds those done
};

struct RankingResult {
    RankingStatus status = RankingStatus::Ranked;
    std::string message;
    std::vector<PatternRanking> patterns;  // by code
    std::size_t filesDone = 0;
    std::size_t filesTotal = 0;
};

// Reads and tallies every pattern of folder on a small pool of threads.
// progress hears (names found, 0) while the folder is listed, then (files
// done, files in all) from the pool's threads, one call at a time. A stop
// ends the listing at the next name and the run before the next file of
// every thread; the patterns finished by then are kept. Never throws: what
// goes wrong, out of memory and a throwing progress included, ends as a
// Failed result whose message says why.
RankingResult RankAllPatterns(const std::string& folder, const RankingOptions& options,
                              const LoadProgress& progress = {}, std::stop_token stop = {}) noexcept;

// The split date a ranking starts with: the race day that leaves about two
// thirds of the patterns' race days before it, so both parts hold races;
// empty without a race day.
std::string DefaultSplitDate(const std::vector<PatternRanking>& patterns);

// Whether a pattern takes part in the ranking of bet: read, with a stake
// on bet and at least minRaces counted races (of the earlier part with a
// split). The correction for many patterns and the estimate of overfitting
// count these.
bool TakesPart(const PatternRanking& pattern, BetType bet, std::int64_t minRaces);

// Highest recovery of bet first (of the earlier part with a split), ties by
// code; patterns that failed go last.
void SortByRecovery(std::vector<PatternRanking>& patterns, BetType bet);

}  // namespace lomi
