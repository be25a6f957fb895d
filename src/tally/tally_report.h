#pragma once

#include <cstdint>
#include <string>

#include "data/program_state.h"

namespace lomi {

// The fixed-width report of a tally, UTF-8, every line ended by CR LF.
std::string BuildTallyReport(std::int32_t recordCount, const TallyAccumulators& tally);

// "#####0.00%": numerator / denominator * 100, two decimals, halves away
// from zero, computed exactly on integers. "0.00%" when denominator is 0.
std::string FormatPercent(std::int64_t numerator, std::int64_t denominator);

}  // namespace lomi
