#pragma once

#include <cstdint>
#include <limits>

namespace lomi {

// 64-bit sums that stop at the limits instead of wrapping. Real data stays
// far below them; only absurd payout fields (such as 9e99) can get there,
// and then the report shows the limit rather than a wrapped, wrong figure.

inline constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();
inline constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();

inline std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) {
#if defined(__GNUC__)
    // One flag test on the hot road of the tally.
    std::int64_t sum;
    if (!__builtin_add_overflow(a, b, &sum)) return sum;
    return b > 0 ? kInt64Max : kInt64Min;
#else
    if (b > 0 && a > kInt64Max - b) return kInt64Max;
    if (b < 0 && a < kInt64Min - b) return kInt64Min;
    return a + b;
#endif
}

inline std::int64_t SaturatingSub(std::int64_t a, std::int64_t b) {
    if (b == kInt64Min) return a >= 0 ? kInt64Max : a - b;
    return SaturatingAdd(a, -b);
}

inline std::int64_t SaturatingMul(std::int64_t a, std::int64_t b) {
    if (a == 0 || b == 0) return 0;
    const bool negative = (a < 0) != (b < 0);
    // Compare magnitudes in unsigned arithmetic, where -kInt64Min fits.
    const auto magnitude = [](std::int64_t v) {
        return v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    };
    const std::uint64_t ma = magnitude(a);
    const std::uint64_t mb = magnitude(b);
    const std::uint64_t limit = negative ? static_cast<std::uint64_t>(kInt64Max) + 1
                                         : static_cast<std::uint64_t>(kInt64Max);
    if (ma > limit / mb) return negative ? kInt64Min : kInt64Max;
    const std::uint64_t product = ma * mb;
    if (negative) return product == limit ? kInt64Min : -static_cast<std::int64_t>(product);
    return static_cast<std::int64_t>(product);
}

}  // namespace lomi
