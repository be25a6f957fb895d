#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/pattern_ranking.h"
#include "tally/bet_type.h"

namespace lomi {

// How far a recovery rate measured on n bets can be trusted: the interval
// of a ratio estimator with Student's t quantiles, and its lower end
// corrected for the number of patterns ranked side by side.

// The point a Student's t variable with `degrees` degrees of freedom stays
// below with the given probability (0 < probability < 1, degrees > 0).
double StudentQuantile(double probability, double degrees);

// The sums of one bet type over its samples (races): n, Σpayout, Σstake,
// Σpayout², Σpayout·stake, Σstake².
struct RatioSums {
    std::int64_t samples = 0;
    double payout = 0;
    double stake = 0;
    double squaredPayout = 0;
    double payoutTimesStake = 0;
    double squaredStake = 0;
};

struct RatioInterval {
    double standardError = 0;    // of the ratio; 0 without an interval
    std::optional<double> low;   // percent, never below 0
    std::optional<double> high;  // percent
};

// R = Σpayout / Σstake with its 95% interval R ± t(0.975, n - 1)·SE, SE from
// the deviations payout_i - R·stake_i with the factor n / (n - 1). No
// interval with fewer than two samples, no stake, or no spread.
RatioInterval EstimateRatioInterval(const RatioSums& sums);

// The lower end of R - t(1 - 0.05 / (2m), n - 1)·SE for every pattern that
// takes part in the ranking of each bet type (TakesPart; m of them), and
// whether it is above 100%; the other patterns get neither.
void SetAdjustedBounds(std::vector<PatternRanking>& patterns, std::int64_t minRaces);

}  // namespace lomi
