#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lomi::samples {

struct RaceDay {
    int year;
    int month;
    int day;
    int weekday;  // 0 Sunday .. 6 Saturday

    std::string Compact() const;  // YYYYMMDD
};

// Parses YYYY-MM-DD or YYYYMMDD; false when it is no valid date.
bool ParseDate(const std::string& text, RaceDay& day);

// The racing days from first to last, both included: every Saturday and
// Sunday, and the Mondays the seed picks as holidays (about six a year, so
// a year has about 110 racing days).
std::vector<RaceDay> RacingDays(const RaceDay& first, const RaceDay& last, std::uint64_t seed);

}  // namespace lomi::samples
