#include "analysis/expected_recovery.h"

#include <algorithm>
#include <cmath>

namespace lomi {

std::vector<std::optional<ExpectedRecovery>> ShrinkRecoveries(
    const std::vector<ShrinkageRow>& rows) {
    std::vector<std::optional<ExpectedRecovery>> out(rows.size());
    if (rows.size() < 2) return out;
    // The fixed-effect mean and Cochran's Q.
    double sumW = 0, sumW2 = 0, sumWR = 0;
    for (const ShrinkageRow& row : rows) {
        const double w = 1 / (row.standardError * row.standardError);
        sumW += w;
        sumW2 += w * w;
        sumWR += w * row.ratio;
    }
    const double mean = sumWR / sumW;
    double q = 0;
    for (const ShrinkageRow& row : rows) {
        const double d = row.ratio - mean;
        q += d * d / (row.standardError * row.standardError);
    }
    // The spread between the patterns beyond what chance explains.
    const double k = static_cast<double>(rows.size());
    const double tau2 = std::max(0.0, (q - (k - 1)) / (sumW - sumW2 / sumW));
    double sumStar = 0, sumStarR = 0;
    for (const ShrinkageRow& row : rows) {
        const double w = 1 / (tau2 + row.standardError * row.standardError);
        sumStar += w;
        sumStarR += w * row.ratio;
    }
    const double mu = sumStarR / sumStar;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double v = rows[i].standardError * rows[i].standardError;
        const double b = tau2 / (tau2 + v);
        ExpectedRecovery e;
        e.expected = mu + b * (rows[i].ratio - mu);
        e.standardDeviation = std::sqrt(b * v + (1 - b) * (1 - b) / sumStar);
        e.probabilityAbove100 =
            0.5 * std::erfc(-(e.expected - 1) / e.standardDeviation / std::sqrt(2.0));
        out[i] = e;
    }
    return out;
}

}  // namespace lomi
