#pragma once

#include <iosfwd>
#include <string>

#include "cli/report_options.h"
#include "data/record_cache.h"

namespace lomi {

// lomi-report --all-patterns: every pattern of folder ranked under the
// options' conditions and printed as a text table, CSV or JSON. Patterns
// that could not be read are named on err. Returns the exit code: 0 when
// some pattern was ranked. The files are read through cache.
int RunRankingCommand(const std::string& folder, const ReportOptions& options,
                      const RecordCacheOptions& cache, std::ostream& out, std::ostream& err);

}  // namespace lomi
