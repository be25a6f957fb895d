#include "analysis/recovery_interval.h"

#include <algorithm>
#include <boost/math/distributions/students_t.hpp>
#include <cmath>

namespace lomi {

double StudentQuantile(double probability, double degrees) {
    return boost::math::quantile(boost::math::students_t(degrees), probability);
}

RatioInterval EstimateRatioInterval(const std::vector<DayAmount>& days) {
    RatioInterval interval;
    double stake = 0, payout = 0;
    for (const DayAmount& day : days) {
        if (day.stake == 0 && day.payout == 0) continue;  // a day without a bet
        ++interval.days;
        stake += day.stake;
        payout += day.payout;
    }
    if (interval.days < 2 || stake <= 0) return interval;
    const double ratio = payout / stake;
    // What rounding leaves of a sum that is truly 0 (every day paid the
    // same ratio) counts as no spread.
    double squares = 0, scale = 0;
    for (const DayAmount& day : days) {
        const double deviation = day.payout - ratio * day.stake;
        squares += deviation * deviation;
        scale += day.payout * day.payout + ratio * ratio * day.stake * day.stake;
    }
    if (!(squares > scale * 1e-12)) return interval;
    const double g = interval.days;
    interval.standardError = std::sqrt(squares * g / (g - 1)) / stake;
    const double t = StudentQuantile(0.975, g - 1);
    interval.low = std::max(0.0, ratio - t * interval.standardError) * 100;
    interval.high = (ratio + t * interval.standardError) * 100;
    return interval;
}

}  // namespace lomi
