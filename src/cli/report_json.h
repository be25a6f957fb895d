#pragma once

#include <optional>
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

#include "analysis/pattern_analysis.h"
#include "data/program_state.h"
#include "tally/figures.h"
#include "tally/race_conditions.h"

namespace lomi {

// The --json output of lomi-report after a completed load: mask, files,
// recordCount, records, lists, selectors, description, tally, bets, report
// and message, in this order. tally is the ten sums of state.Tally, bets the
// figures of each bet type, report the text (CR LF line ends); without a
// tally (no record was loaded) those are null and message is
// "FILE NOT OPEN.". Pretty-printed UTF-8, ending in a newline, written to
// out as it is produced: the records never stand in memory a second time.
void WriteReportJson(std::ostream& out, const ProgramState& state, const std::string& description,
                     const std::optional<TallyResult>& tally);

// The ten sums as one object, named as the accumulators are.
nlohmann::ordered_json TallyJson(const TallyAccumulators& tally);

// {"win": {"stake", "payout", "profit", "recovery", "hitRate",
// "averageDividend", "hits"}, "place": …, "quinella": …, "wide": …};
// percentages as numbers with two decimals.
nlohmann::ordered_json BetsJson(const TallyFigures& figures);

// The race conditions as given: the seven codes, orMore, date, and the
// period's from and to (YYYY-MM-DD, null when open).
nlohmann::ordered_json ConditionsJson(const RaceConditions& conditions);

// {"message": message}, for a run that ends before any data is loaded.
std::string MessageJson(const std::string& message);

}  // namespace lomi
