#pragma once

#include <optional>
#include <vector>

namespace lomi {

// How far one recovery rate can be trusted when the races of a race day
// move together (the going, the track's bias, the day's market): the
// interval of a ratio estimator with the race day as the unit of chance.

// The point a Student's t variable with `degrees` degrees of freedom stays
// below with the given probability (0 < probability < 1, degrees > 0).
double StudentQuantile(double probability, double degrees);

// What one bet type staked and paid over the races of one race day, yen.
struct DayAmount {
    double stake = 0;
    double payout = 0;

    friend bool operator==(const DayAmount&, const DayAmount&) = default;
};

struct RatioInterval {
    int days = 0;                // G: the days that staked or paid
    double standardError = 0;    // of the ratio; 0 without an interval
    std::optional<double> low;   // percent, never below 0
    std::optional<double> high;  // percent
};

// R = ΣP / ΣS over the days that staked or paid, with its 95% interval
// R ± t(0.975, G - 1)·SE, SE = √(G/(G-1) · Σ(P_g - R·S_g)²) / ΣS. No
// interval with fewer than two such days, no stake, or no spread.
RatioInterval EstimateRatioInterval(const std::vector<DayAmount>& days);

}  // namespace lomi
