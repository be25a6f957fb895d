#include "analysis/bootstrap_bound.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <limits>
#include <system_error>
#include <thread>

namespace lomi {
namespace {

// Replicates handled together: each row's days are read once for all of
// them, and the draws' day counts of a block stay in the first-level cache.
constexpr int kBlock = 8;

// The rows' stakes and payouts, row after row, N days each.
struct DenseRows {
    std::size_t days = 0;
    std::vector<double> stake, payout, ratio, error;
};

// The largest T* of each replicate of block `first / kBlock` into largest.
// Stakes and payouts are whole yen and their drawn sums stay far below
// 2^53, so every sum is exact and the order of adding cannot change it.
void RunBlock(const DenseRows& rows, int first, std::vector<double>& counts,
              std::vector<double>& largest) {
    const std::size_t n = rows.days;
    const int count = std::min(kBlock, kBootstrapReplicates - first);
    std::fill(counts.begin(), counts.end(), 0.0);
    for (int r = 0; r < count; ++r) {
        SplitMix64 draw(kBootstrapSeed + static_cast<std::uint64_t>(first + r));
        for (std::size_t i = 0; i < n; ++i) counts[(draw.Next() % n) * kBlock + r] += 1;
    }
    std::array<double, kBlock> best;
    best.fill(-std::numeric_limits<double>::infinity());
    const std::size_t k = rows.ratio.size();
    for (std::size_t row = 0; row < k; ++row) {
        const double* stake = &rows.stake[row * n];
        const double* payout = &rows.payout[row * n];
        std::array<double, kBlock> s{}, p{};
        for (std::size_t d = 0; d < n; ++d) {
            if (stake[d] == 0 && payout[d] == 0) continue;
            const double* c = &counts[d * kBlock];
            for (int r = 0; r < kBlock; ++r) {
                s[r] += stake[d] * c[r];
                p[r] += payout[d] * c[r];
            }
        }
        for (int r = 0; r < count; ++r) {
            if (s[r] == 0) continue;  // the row staked nothing on the drawn days
            const double t = (p[r] / s[r] - rows.ratio[row]) / rows.error[row];
            best[r] = std::max(best[r], t);
        }
    }
    for (int r = 0; r < count; ++r) largest[first + r] = best[r];
}

}  // namespace

double MaxTCriticalValue(const std::vector<BootstrapRow>& rows, unsigned threads) {
    DenseRows dense;
    dense.days = rows.empty() ? 0 : rows.front().days.size();
    if (dense.days == 0) return -std::numeric_limits<double>::infinity();
    for (const BootstrapRow& row : rows) {
        dense.ratio.push_back(row.ratio);
        dense.error.push_back(row.standardError);
        for (const DayAmount& day : row.days) {
            dense.stake.push_back(day.stake);
            dense.payout.push_back(day.payout);
        }
    }
    std::vector<double> largest(kBootstrapReplicates);
    constexpr int kBlocks = (kBootstrapReplicates + kBlock - 1) / kBlock;
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    threads = std::min<unsigned>(threads, kBlocks);
    std::vector<std::vector<double>> counts(threads, std::vector<double>(dense.days * kBlock));
    std::atomic<int> next{0};
    const auto work = [&](std::vector<double>& mine) {
        for (int b; (b = next.fetch_add(1)) < kBlocks;) RunBlock(dense, b * kBlock, mine, largest);
    };
    {
        std::vector<std::jthread> pool;
        for (unsigned t = 1; t < threads; ++t) {
            try {
                pool.emplace_back([&, t] { work(counts[t]); });
            } catch (const std::system_error&) {
                break;  // no more threads to be had: fewer do it
            }
        }
        work(counts[0]);
    }
    // The 950th smallest of 999.
    std::nth_element(largest.begin(), largest.begin() + 949, largest.end());
    return largest[949];
}

double AdjustedLowerBound(double ratio, double standardError, double critical) {
    return std::max(0.0, 100 * (ratio - critical * standardError));
}

}  // namespace lomi
