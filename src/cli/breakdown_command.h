#pragma once

#include <iosfwd>

#include "cli/report_options.h"
#include "data/program_state.h"

namespace lomi {

// Whether the run asks for a breakdown (--by) or the profit series
// (--series) instead of the report.
bool WantsBreakdownOrSeries(const ReportOptions& options);

// --by and --series after a completed load, as an aligned text table, CSV
// (--csv) or JSON (--json), written to out as it is produced. Returns the
// exit code; without records the text forms say FILE NOT OPEN. on err.
int RunBreakdownCommand(const ProgramState& state, const ReportOptions& options, std::ostream& out,
                        std::ostream& err);

}  // namespace lomi
