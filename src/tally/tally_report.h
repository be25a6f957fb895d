#pragma once

#include <cstdint>
#include <string>

#include "data/program_state.h"
#include "tally/figures.h"

namespace lomi {

// The fixed-width report of a tally's figures, UTF-8, every line ended by
// CR LF.
std::string BuildTallyReport(const TallyFigures& figures);

// The same from the sums; recordCount is the number of loaded records (the
// "総ﾚｰｽ" figure).
std::string BuildTallyReport(std::int64_t recordCount, const TallyAccumulators& tally);

// "@@@@@@@@@@": text padded on the left with spaces to ten characters,
// never cut.
std::string FormatColumn(const std::string& text);

}  // namespace lomi
