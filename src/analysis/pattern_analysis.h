#pragma once

#include <stop_token>
#include <string>
#include <vector>

#include "data/program_state.h"
#include "data/ticket_reader.h"
#include "tally/figures.h"
#include "tally/pattern_names.h"
#include "tally/race_conditions.h"
#include "tally/selector_items.h"

namespace lomi {

// Opening a pattern and tallying it: the one sequence behind the pattern
// dialog, the command line and every other view. Each step is a plain call;
// LoadPattern touches no program state, so a window can run it on a worker
// thread and apply the result on its own thread.
//
//   SelectPattern → LoadPattern → CommitLoad → DescribeLoaded → TallyLoaded

inline constexpr const char* kFileNotFound = "FILE NOT FOUND.";
inline constexpr const char* kFileNotOpen = "FILE NOT OPEN.";

// Stores the selections as the pattern selection and their file mask as
// PatternFileMask. False (and the mask left empty) when a selection is out
// of its range.
bool SelectPattern(ProgramState& state, const PatternSelections& selections);

enum class LoadStatus {
    Loaded,     // every file read
    NotFound,   // no file matches: message is "FILE NOT FOUND."
    Failed,     // a file or the folder could not be read: message names it
    Cancelled,  // stopped on request: nothing to report
};

struct PatternLoad {
    LoadStatus status = LoadStatus::Loaded;
    std::string message;
    LoadedData data;  // complete only when Loaded
};

// The existence test, then every file of folder that matches mask read into
// a new LoadedData; progress counts files as ReadPatternFiles does.
// Never throws: a failure, out of memory and a throwing progress included,
// is a Failed load whose message says why. cache: the program state's
// record cache (RecordCache), or none.
PatternLoad LoadPattern(const std::string& folder, const std::string& mask,
                        const LoadProgress& progress = {}, std::stop_token stop = {},
                        const RecordCacheOptions& cache = {}) noexcept;

// A Loaded result becomes state's loaded data; any other leaves state as it
// was. Returns whether it was applied.
bool CommitLoad(ProgramState& state, PatternLoad&& load);

// What a window shows of the loaded data: the pattern's description (as in
// description) and the items of the eight condition selectors.
struct LoadedView {
    std::string description;
    std::vector<std::vector<SelectorItem>> selectors;
};
LoadedView DescribeLoaded(const ProgramState& state);

// The pattern's description from the pattern selection; empty when out of range.
std::string DescribeCurrentPattern(const ProgramState& state);

// Tallies the loaded data under the conditions into state.Tally and gives
// the figures and the report text. Nothing loaded gives empty figures and
// no report.
struct TallyResult {
    TallyFigures figures;
    std::string report;  // CR LF line ends, as the report box shows it
};
TallyResult TallyLoaded(ProgramState& state, const RaceConditions& conditions);

}  // namespace lomi
