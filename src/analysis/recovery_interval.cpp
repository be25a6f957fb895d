#include "analysis/recovery_interval.h"

#include <algorithm>
#include <boost/math/distributions/students_t.hpp>
#include <cmath>

namespace lomi {
namespace {

// Two-sided error rate of every interval here.
constexpr double kErrorRate = 0.05;

// The recovery's lower end, R - quantile·SE in percent, never below 0.
double LowerEnd(double ratio, double quantile, double error) {
    return std::max(0.0, ratio - quantile * error) * 100;
}

}  // namespace

double StudentQuantile(double probability, double degrees) {
    return boost::math::quantile(boost::math::students_t(degrees), probability);
}

RatioInterval EstimateRatioInterval(const RatioSums& s) {
    RatioInterval interval;
    if (s.samples < 2 || s.stake <= 0) return interval;
    const double n = static_cast<double>(s.samples);
    const double ratio = s.payout / s.stake;
    // Σ(p - R·s)² = Σp² - 2RΣps + R²Σs²; what rounding leaves of a sum
    // that is truly 0 (every bet paid the same ratio) counts as no spread.
    const double scale = s.squaredPayout + ratio * ratio * s.squaredStake;
    const double squares =
        s.squaredPayout - 2 * ratio * s.payoutTimesStake + ratio * ratio * s.squaredStake;
    if (!(squares > scale * 1e-12)) return interval;
    interval.standardError = std::sqrt(squares * n / (n - 1)) / s.stake;
    const double t = StudentQuantile(1 - kErrorRate / 2, n - 1);
    interval.low = LowerEnd(ratio, t, interval.standardError);
    interval.high = (ratio + t * interval.standardError) * 100;
    return interval;
}

void SetAdjustedBounds(std::vector<PatternRanking>& patterns, std::int64_t minRaces) {
    for (const BetType bet : kBetTypes) {
        const auto m = static_cast<double>(
            std::count_if(patterns.begin(), patterns.end(),
                          [&](const PatternRanking& p) { return TakesPart(p, bet, minRaces); }));
        for (PatternRanking& pattern : patterns) {
            BetSpread& spread = pattern.earlier.spreads[Index(bet)];
            spread.recoveryLowAdjusted.reset();
            spread.significant = false;
            if (!TakesPart(pattern, bet, minRaces) || spread.standardError <= 0) continue;
            const BetFigures& f = pattern.earlier.figures.Bet(bet);
            const double ratio = static_cast<double>(f.payout) / static_cast<double>(f.stake);
            const double t =
                StudentQuantile(1 - kErrorRate / (2 * m), static_cast<double>(spread.samples - 1));
            spread.recoveryLowAdjusted = LowerEnd(ratio, t, spread.standardError);
            spread.significant = *spread.recoveryLowAdjusted > 100;
        }
    }
}

}  // namespace lomi
