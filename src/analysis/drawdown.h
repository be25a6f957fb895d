#pragma once

#include <cstdint>

#include "tally/saturating.h"

namespace lomi {

// The largest fall of a cumulative profit from an earlier peak, taken
// after each step (a race day); the start, 0 yen, counts as a peak. The
// ranking, the profit series and the chart all take it this way.
struct DrawdownTracker {
    std::int64_t profit = 0;
    std::int64_t peak = 0;
    std::int64_t deepest = 0;
    // Steps where the largest fall starts (its peak; -1 for the start) and ends.
    std::int64_t start = -1;
    std::int64_t end = -1;

    void Step(std::int64_t change, std::int64_t at) {
        profit = SaturatingAdd(profit, change);
        if (profit > peak) {
            peak = profit;
            peakAt_ = at;
        }
        const std::int64_t fall = SaturatingSub(peak, profit);
        if (fall > deepest) {
            deepest = fall;
            start = peakAt_;
            end = at;
        }
    }

private:
    std::int64_t peakAt_ = -1;
};

}  // namespace lomi
