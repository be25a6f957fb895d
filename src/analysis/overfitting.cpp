#include "analysis/overfitting.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <iterator>

#include "tally/figures.h"
#include "tally/saturating.h"

namespace lomi {
namespace {

constexpr int kMostBlocks = 16;
constexpr int kFewestBlocks = 4;
// Blocks summed through one table of subsets: 2^8 entries per pattern.
constexpr int kTableBlocks = 8;

struct Sums {
    std::int64_t stake = 0;
    std::int64_t payout = 0;
};

Sums Plus(const Sums& a, const Sums& b) {
    return {SaturatingAdd(a.stake, b.stake), SaturatingAdd(a.payout, b.payout)};
}
Sums Minus(const Sums& a, const Sums& b) {
    return {SaturatingSub(a.stake, b.stake), SaturatingSub(a.payout, b.payout)};
}

// a.payout / a.stake against b's, exactly, as the ranking sorts them.
int CompareRatios(const Sums& a, const Sums& b) {
    const auto order = lomi::CompareRatios(a.payout, a.stake, b.payout, b.stake);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

double Ratio(const Sums& s) { return static_cast<double>(s.payout) / static_cast<double>(s.stake); }

// Two numbers in doubles, the sign of a - b; 0 when too close to tell apart.
int Apart(double a, double b) {
    const double margin = 1e-9 * (std::fabs(a) + std::fabs(b));
    return a < b - margin ? -1 : (a > b + margin ? 1 : 0);
}

// CompareRatios, faster: the cross products in doubles decide unless they
// are too close to tell, and the exact comparison then.
int CompareRatiosFast(const Sums& a, const Sums& b) {
    const int order = Apart(static_cast<double>(a.payout) * static_cast<double>(b.stake),
                            static_cast<double>(b.payout) * static_cast<double>(a.stake));
    return order != 0 ? order : CompareRatios(a, b);
}

// Values from begin on no larger than the pivot moved before those larger
// (less: strictly smaller ones only); where the larger ones start. Without a
// branch per value: the values' order is unpredictable, and mispredicted
// branches were most of the time of a median.
std::size_t Partition(double* v, std::size_t begin, std::size_t end, double pivot, bool less) {
    std::size_t store = begin;
    for (std::size_t i = begin; i < end; ++i) {
        const double x = v[i];
        v[i] = v[store];
        v[store] = x;
        store += less ? (x < pivot) : (x <= pivot);
    }
    return store;
}

// The k-th smallest value (from 0); the values are reordered so that those
// before k are no larger.
double Select(std::vector<double>& values, std::size_t k) {
    double* v = values.data();
    std::size_t begin = 0, end = values.size();
    while (end - begin > 16) {
        double a = v[begin], b = v[begin + (end - begin) / 2], c = v[end - 1];
        if (a > b) std::swap(a, b);
        const double pivot = std::max(a, std::min(b, c));  // the median of three
        const std::size_t smaller = Partition(v, begin, end, pivot, true);
        if (k < smaller) {
            end = smaller;
            continue;
        }
        const std::size_t equal = Partition(v, smaller, end, pivot, false);
        if (k < equal) return pivot;
        begin = equal;
    }
    std::sort(v + begin, v + end);
    return v[k];
}

// The median; the values are reordered.
double Median(std::vector<double>& values) {
    const std::size_t half = values.size() / 2;
    const double upper = Select(values, half);
    if (values.size() % 2 != 0) return upper;
    double lower = values[0];
    for (std::size_t i = 1; i < half; ++i) lower = std::max(lower, values[i]);
    return (lower + upper) / 2;
}

// The distinct dates of the patterns' days, in order: each pattern's days
// merged into those of the patterns before.
std::vector<std::uint64_t> RaceDates(const std::vector<const PatternRanking*>& patterns) {
    std::vector<std::uint64_t> dates, merged;
    for (const PatternRanking* p : patterns) {
        merged.clear();
        auto at = dates.begin();
        for (const RaceDaySums& day : p->earlier.days) {
            while (at != dates.end() && *at < day.date) merged.push_back(*at++);
            if (at != dates.end() && *at == day.date) ++at;
            merged.push_back(day.date);
        }
        merged.insert(merged.end(), at, dates.end());
        dates.swap(merged);
    }
    return dates;
}

// Each pattern's stake and payout of bet per block of `blocks` runs of
// consecutive dates, the first dates.size() % blocks runs a date longer.
std::vector<std::vector<Sums>> BlockSums(const std::vector<const PatternRanking*>& patterns,
                                         BetType bet, const std::vector<std::uint64_t>& dates,
                                         int blocks) {
    const std::size_t count = static_cast<std::size_t>(blocks);
    const std::size_t shorter = dates.size() / count;
    const std::size_t longer = dates.size() % count;
    std::vector<std::size_t> blockOf(dates.size());
    for (std::size_t b = 0, at = 0; b < count; ++b) {
        const std::size_t size = shorter + (b < longer ? 1 : 0);
        std::fill_n(blockOf.begin() + static_cast<std::ptrdiff_t>(at), size, b);
        at += size;
    }
    std::vector<std::vector<Sums>> sums(patterns.size(), std::vector<Sums>(count));
    for (std::size_t i = 0; i < patterns.size(); ++i) {
        std::size_t at = 0;  // both walk the dates in order
        for (const RaceDaySums& day : patterns[i]->earlier.days) {
            while (dates[at] != day.date) ++at;
            const BetFigures f = day.Bet(bet);
            Sums& block = sums[i][blockOf[at]];
            block = Plus(block, {f.stake, f.payout});
        }
    }
    return sums;
}

// The sums of every subset of `count` blocks from `first` on, for every
// pattern: entry [subset × patterns + pattern].
std::vector<Sums> SubsetSums(const std::vector<std::vector<Sums>>& blocks, int first, int count) {
    const std::size_t patterns = blocks.size();
    std::vector<Sums> table((std::size_t{1} << count) * patterns);
    for (std::size_t subset = 1; subset < (std::size_t{1} << count); ++subset) {
        const std::size_t lowest = static_cast<std::size_t>(std::countr_zero(subset));
        const std::size_t rest = subset & (subset - 1);
        for (std::size_t p = 0; p < patterns; ++p) {
            table[subset * patterns + p] = Plus(
                table[rest * patterns + p], blocks[p][static_cast<std::size_t>(first) + lowest]);
        }
    }
    return table;
}

// The splits of the blocks into halves, their counts and medians.
class SplitTally {
public:
    SplitTally(OverfittingEstimate& estimate, std::size_t patterns) : estimate_(estimate) {
        out_.reserve(patterns);
        outRatio_.reserve(patterns);
    }

    // A split's patterns: those with a stake in both halves, in code order;
    // the first of equal in-sample bests stays the best.
    void Clear() {
        out_.clear();
        outRatio_.clear();
    }
    void Add(const Sums& in, const Sums& out) {
        if (in.stake <= 0 || out.stake <= 0) return;
        if (out_.empty() || CompareRatiosFast(in, bestIn_) > 0) {
            bestIn_ = in;
            best_ = out_.size();
        }
        out_.push_back(out);
        outRatio_.push_back(Ratio(out));
    }

    // Where the split's in-sample best ranks out of sample.
    void Finish() {
        const std::size_t n = out_.size();
        if (n < 2) return;
        const std::size_t best = best_;
        // Rank of the best's out-of-sample recovery, 1 the lowest, ties
        // averaged: twice it is 2 + 2·(lower) + (equal others).
        // The doubles sort out all but the ratios too close to the best's
        // to tell apart (the best's own among them), counted without a
        // branch: which side a pattern falls on is unpredictable.
        const double bestRatio = outRatio_[best];
        const double margin = 1e-9 * std::fabs(bestRatio);
        const double below = bestRatio - margin, above = bestRatio + margin;
        std::size_t lower = 0, close = 0;
        for (const double ratio : outRatio_) {
            lower += ratio < below;
            close += (ratio >= below) & (ratio <= above);
        }
        std::size_t twiceRank = 2 + 2 * lower;
        if (close > 1) {
            for (std::size_t i = 0; i < n; ++i) {
                if (i == best || outRatio_[i] < below || outRatio_[i] > above) continue;
                const int order = CompareRatios(out_[i], out_[best]);
                twiceRank += order < 0 ? 2 : (order == 0 ? 1 : 0);
            }
        }
        const double omega = static_cast<double>(twiceRank) / (2.0 * static_cast<double>(n + 1));
        estimate_.logits.push_back(std::log(omega / (1 - omega)));
        // λ ≤ 0 exactly when ω ≤ 1/2.
        if (twiceRank <= n + 1) ++overfit_;
        if (out_[best].payout < out_[best].stake) ++losing_;
        bestOutOfSample_.push_back(outRatio_[best] * 100);
        medians_.push_back(Median(outRatio_) * 100);
    }

    void Close() {
        estimate_.splits = static_cast<std::int64_t>(estimate_.logits.size());
        if (estimate_.splits == 0) return;
        estimate_.probability =
            static_cast<double>(overfit_) / static_cast<double>(estimate_.splits);
        estimate_.lossProbability =
            static_cast<double>(losing_) / static_cast<double>(estimate_.splits);
        estimate_.bestOutOfSampleMedian = Median(bestOutOfSample_);
        estimate_.outOfSampleMedian = Median(medians_);
    }

private:
    OverfittingEstimate& estimate_;
    std::int64_t overfit_ = 0;
    std::int64_t losing_ = 0;
    Sums bestIn_;
    std::size_t best_ = 0;
    std::vector<Sums> out_;
    std::vector<double> outRatio_;
    std::vector<double> bestOutOfSample_;
    std::vector<double> medians_;
};

}  // namespace

OverfittingEstimate EstimateOverfitting(const std::vector<PatternRanking>& patterns, BetType bet,
                                        std::int64_t minRaces) {
    OverfittingEstimate estimate;
    estimate.bet = bet;
    std::vector<const PatternRanking*> taking;
    for (const PatternRanking& p : patterns) {
        if (TakesPart(p, bet, minRaces)) taking.push_back(&p);
    }
    // Code order, so that the first of equal in-sample bests is the smaller code.
    std::sort(taking.begin(), taking.end(),
              [](const PatternRanking* a, const PatternRanking* b) { return a->code < b->code; });
    estimate.patterns = taking.size();
    if (taking.size() < 2) {
        estimate.reason =
            "過剰適合確率は出せません: 投票があり最低ﾚｰｽ数に届くパターンが2つ未満です。";
        return estimate;
    }
    const std::vector<std::uint64_t> dates = RaceDates(taking);
    const int blocks = dates.size() >= kMostBlocks
                           ? kMostBlocks
                           : static_cast<int>(dates.size() & ~std::size_t{1});
    if (blocks < kFewestBlocks) {
        estimate.reason = "過剰適合確率は出せません: 開催日が" + std::to_string(dates.size()) +
                          "日しかありません (4日以上必要です)。";
        return estimate;
    }
    estimate.blocks = blocks;

    const std::vector<std::vector<Sums>> sums = BlockSums(taking, bet, dates, blocks);
    const int lowBlocks = std::min(blocks, kTableBlocks);
    const std::vector<Sums> low = SubsetSums(sums, 0, lowBlocks);
    const std::vector<Sums> high = SubsetSums(sums, lowBlocks, blocks - lowBlocks);
    const std::size_t m = taking.size();
    const std::size_t lowMask = (std::size_t{1} << lowBlocks) - 1;
    const std::size_t highAll = (std::size_t{1} << (blocks - lowBlocks)) - 1;
    std::vector<Sums> total(m);
    for (std::size_t p = 0; p < m; ++p) {
        total[p] = Plus(low[lowMask * m + p], high[highAll * m + p]);
    }

    SplitTally tally(estimate, m);
    for (std::size_t mask = 0; mask < (std::size_t{1} << blocks); ++mask) {
        if (std::popcount(mask) != blocks / 2) continue;
        const Sums* lows = &low[(mask & lowMask) * m];
        const Sums* highs = &high[(mask >> lowBlocks) * m];
        tally.Clear();
        for (std::size_t p = 0; p < m; ++p) {
            const Sums in = Plus(lows[p], highs[p]);
            tally.Add(in, Minus(total[p], in));
        }
        tally.Finish();
    }
    tally.Close();
    if (estimate.splits == 0) {
        estimate.reason =
            "過剰適合確率は出せません: "
            "前半と後半の両方に投票のあるパターンが2つ以上になる分け方がありません。";
    }
    return estimate;
}

}  // namespace lomi
