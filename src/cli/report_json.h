#pragma once

#include <optional>
#include <string>

#include "data/program_state.h"

namespace lomi {

// The --json output of lomi-report after a completed load: mask, files,
// recordCount, records, lists, selectors, description, tally, report and
// message, in this order. report is the tally text (CR LF line ends), or
// nothing when no record was loaded: tally and report are then null and
// message is "FILE NOT OPEN.". Pretty-printed UTF-8, ending in a newline.
std::string ReportJson(const ProgramState& state, const std::string& description,
                       const std::optional<std::string>& report);

// {"message": message}, for a run that ends before any data is loaded.
std::string MessageJson(const std::string& message);

}  // namespace lomi
