#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/recovery_interval.h"

namespace lomi {

// A lower bound on the recovery of many patterns at once, each corrected
// for all the others having been tried (the max-T bootstrap over race days):
// the days are drawn again with replacement, every pattern is measured on
// the same draws, and the largest standardised error of each draw gives
// the critical value. Patterns that move together or are copies of each
// other count as the one try they are.

// The seeded generator of the draws: each run gives the same figures.
class SplitMix64 {
public:
    explicit SplitMix64(std::uint64_t state) : state_(state) {}
    std::uint64_t Next() {
        std::uint64_t z = state_ += 0x9E3779B97F4A7C15ull;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

private:
    std::uint64_t state_;
};

// One row of the family: its recovery R (a ratio), its standard error
// (above 0), and what it staked and paid on each of the family's N days.
struct BootstrapRow {
    double ratio = 0;
    double standardError = 0;
    std::vector<DayAmount> days;  // N entries, in the family's day order
};

constexpr int kBootstrapReplicates = 999;
// The first generator state; replicate b starts at kBootstrapSeed + b.
constexpr std::uint64_t kBootstrapSeed = 0x4C4F4D49;

// The critical value c: of the 999 replicates' largest (P*/S* - R)/SE over
// the rows, the 950th smallest. Replicate b draws N days, day x mod N for
// each x of SplitMix64(kBootstrapSeed + b); a row whose drawn stake is 0
// sits the replicate out. Rows must all have N days; none gives -∞.
// Work is shared among up to `threads` threads (0: one per processor).
double MaxTCriticalValue(const std::vector<BootstrapRow>& rows, unsigned threads = 0);

// max(0, 100·(R - c·SE)) percent.
double AdjustedLowerBound(double ratio, double standardError, double critical);

}  // namespace lomi
