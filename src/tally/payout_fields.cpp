#include "tally/payout_fields.h"

#include <algorithm>
#include <cmath>

#include "data/numeric_text.h"
#include "tally/saturating.h"

namespace lomi {

void AddPayoutValue(double v, std::int64_t& payout, std::int64_t& hits) {
    constexpr double kLimit = 4611686018427387904.0;  // 2^62: keeps the casts defined
    const double t = std::clamp(v * 10.0, -kLimit, kLimit);
    const double whole = std::floor(t);
    const double fraction = t - whole;
    std::int64_t sum = SaturatingAdd(payout, static_cast<std::int64_t>(whole));
    if (fraction > 0.5 || (fraction == 0.5 && (sum & 1) != 0)) sum = SaturatingAdd(sum, 1);
    payout = sum;
    if (v > 0) hits += 1;
}

PayoutValue ReadPayoutField(std::string_view field) {
    // Record fields are at most five characters; a longer text could
    // overflow the whole-number reading, and takes the general one.
    constexpr std::size_t kMaxWholeDigits = 18;
    if (field.size() > kMaxWholeDigits) return PayoutValue{false, 0, NumericValue(field)};
    PayoutValue read;
    for (const char c : field) {
        if (c >= '0' && c <= '9') {
            read.units = read.units * 10 + (c - '0');
        } else if (c != ' ' && c != '\t') {
            return PayoutValue{false, 0, NumericValue(field)};
        }
    }
    return read;
}

}  // namespace lomi
