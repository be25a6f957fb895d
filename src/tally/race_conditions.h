#pragma once

#include <cstdint>
#include <string>

namespace lomi {

// The text of the date selector's first item, meaning "no restriction".
inline constexpr const char* kAllRaces = "全抽出";

// The conditions of a tally: the main window's nine inputs, as its
// selectors give them (codes of 0 mean no restriction), and a period.
struct RaceConditions {
    std::int32_t venue = 0;
    std::int32_t race = 0;
    std::int32_t runners = 0;
    std::int32_t age = 0;
    std::int32_t raceClass = 0;
    std::int32_t surface = 0;
    std::int32_t distance = 0;
    std::string date = kAllRaces;    // "全抽出" or YYYY-MM-DD
    std::int16_t runnersOrMore = 0;  // 1 = the "以上" box is ticked

    // The first and the last race date counted, YYYYMMDD, both inclusive;
    // empty for an open end. Narrows the date condition further.
    std::string firstDate;
    std::string lastDate;
};

}  // namespace lomi
