#pragma once

#include <cstdint>
#include <string>

#include "data/program_state.h"

namespace lomi {

// The text of the date selector's first item, meaning "no restriction".
inline constexpr const char* kAllRaces = "全抽出";

// The nine inputs of a tally, as the main window's selectors give them.
// Codes of 0 mean no restriction.
struct RaceConditions {
    std::int32_t venue = 0;
    std::int32_t race = 0;
    std::int32_t runners = 0;
    std::int32_t age = 0;
    std::int32_t raceClass = 0;
    std::int32_t surface = 0;
    std::int32_t distance = 0;
    std::string date = kAllRaces;    // "全抽出" or YYYY-MM-DD
    std::int16_t runnersOrMore = 0;  // 1 = the "以上" box is ticked
};

// Selects the records of state.Loaded that meet the conditions and are
// countable, and sets state.Tally to their sums (the old sums are dropped).
void ExtractAndTally(ProgramState& state, const RaceConditions& conditions);

// The same over a bare record store, for callers without a ProgramState.
TallyAccumulators ExtractAndTally(const RecordStore& records, const RaceConditions& conditions);

}  // namespace lomi
