#pragma once

#include <cstdint>
#include <string>

#include "data/program_state.h"

namespace lomi {

// The fixed-width report of a tally, UTF-8, every line ended by CR LF.
// recordCount is the number of loaded records (the "総ﾚｰｽ" figure).
std::string BuildTallyReport(std::int64_t recordCount, const TallyAccumulators& tally);

// "#####0.00%": numerator / denominator × 100 with two decimals, halves
// rounded away from zero, computed exactly on integers (so 1/800 gives
// 0.13%). "0.00%" when the denominator is 0; never "-0.00%".
std::string FormatPercent(std::int64_t numerator, std::int64_t denominator);

// "@@@@@@@@@@": text padded on the left with spaces to ten characters,
// never cut.
std::string FormatColumn(const std::string& text);

}  // namespace lomi
