#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "analysis/pattern_listing.h"
#include "analysis/ranked_part.h"
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
                              const LoadProgress& progress = {},
                              std::stop_token stop = {}) noexcept;

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
