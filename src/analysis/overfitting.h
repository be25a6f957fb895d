#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/pattern_ranking.h"
#include "tally/bet_type.h"

namespace lomi {

// The probability that the best pattern of a ranking is luck: the
// probability of backtest overfitting (PBO), estimated by combinatorially
// symmetric cross-validation over blocks of race days (Bailey, Borwein,
// López de Prado and Zhu, 2015).
//
// The race days of the patterns that take part (TakesPart) fall into S
// blocks of consecutive days (16, or the largest even number of days
// below 16). Each way of taking half of the blocks as the in-sample half
// picks the pattern with the best in-sample recovery and looks where its
// recovery on the other half ranks among the patterns: below the middle,
// the pick was overfit. PBO is the share of such splits.
struct OverfittingEstimate {
    // Why there is no estimate (a Japanese sentence); empty when there is.
    std::string reason;
    BetType bet = BetType::Win;
    int blocks = 0;            // S
    std::int64_t splits = 0;   // splits counted (with two patterns or more)
    std::size_t patterns = 0;  // m: patterns that take part
    double probability = 0;    // overfit splits / splits counted
    // The share of the splits counted in which the in-sample best lost
    // money out of sample (payout below stake).
    double lossProbability = 0;
    // Medians over the splits, percent: the in-sample best's out-of-sample
    // recovery, and the median out-of-sample recovery of all the split's
    // patterns (what an average pattern did).
    double bestOutOfSampleMedian = 0;
    double outOfSampleMedian = 0;
    // λ = ln(ω / (1 - ω)) of each split counted, ω = rank / (N + 1).
    std::vector<double> logits;

    bool Estimated() const { return reason.empty(); }
};

// The estimate for bet over the earlier part of the patterns (the races
// before the split date), from their race days alone.
OverfittingEstimate EstimateOverfitting(const std::vector<PatternRanking>& patterns, BetType bet,
                                        std::int64_t minRaces);

}  // namespace lomi
