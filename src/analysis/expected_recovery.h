#pragma once

#include <optional>
#include <vector>

namespace lomi {

// What to expect of a pattern from now on: its recovery shrunk toward the
// mean of the patterns ranked beside it, by as much as the patterns really
// differ (empirical Bayes with the DerSimonian–Laird spread). The best of
// many patterns is the best partly by luck; this prices that luck in.

struct ShrinkageRow {
    double ratio = 0;          // R, a ratio (1.0 = 100%)
    double standardError = 0;  // of R, above 0
};

struct ExpectedRecovery {
    double expected = 0;             // E, a ratio
    double standardDeviation = 0;    // of E
    double probabilityAbove100 = 0;  // Φ((E - 1) / sd)
};

// One result per row, in order; nothing for every row with fewer than two
// rows. Each row counts as one try: the caller passes distinct rows only.
std::vector<std::optional<ExpectedRecovery>> ShrinkRecoveries(
    const std::vector<ShrinkageRow>& rows);

}  // namespace lomi
