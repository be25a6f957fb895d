#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/program_state.h"
#include "data/record_store.h"
#include "tally/race_conditions.h"

namespace lomi {

// The axes a tally is split by: the seven race conditions, the year and
// the year with its month.
enum class BreakdownAxis { Venue, Race, Runners, Age, Class, Surface, Distance, Year, Month };
inline constexpr std::array<BreakdownAxis, 9> kBreakdownAxes = {
    BreakdownAxis::Venue,    BreakdownAxis::Race,  BreakdownAxis::Runners,
    BreakdownAxis::Age,      BreakdownAxis::Class, BreakdownAxis::Surface,
    BreakdownAxis::Distance, BreakdownAxis::Year,  BreakdownAxis::Month};

// venue, race, runners, age, class, surface, distance, year, month: the
// names of the command line and of JSON.
const char* AxisKey(BreakdownAxis axis);
// 開催, ﾚｰｽ, 頭数, 馬齢, ｸﾗｽ, 馬場, 距離, 年, 月: as the window names them.
const char* AxisName(BreakdownAxis axis);
std::optional<BreakdownAxis> AxisFromKey(std::string_view key);

// How a group is shown: by the name its selector gives the value (東京,
// ダート, 1600m), the year (2001) or the month (2001-04); a value that has
// no name shows as itself.
std::string GroupLabel(BreakdownAxis axis, std::string_view key);

struct BreakdownGroup {
    std::string key;               // the record's field text: "05", "2001"
    std::string label;             // GroupLabel of the key
    std::int64_t recordCount = 0;  // loaded records holding the key
    TallyAccumulators tally;       // their counted races
};

// A tally split by one axis. Every loaded record belongs to one group, so
// the record counts add up to the store's size and the groups' sums to
// the total, which is the report's tally under the same conditions.
struct Breakdown {
    BreakdownAxis axis = BreakdownAxis::Venue;
    std::vector<BreakdownGroup> groups;  // in the order of the selectors
    std::int64_t recordCount = 0;        // every loaded record (総ﾚｰｽ)
    TallyAccumulators total;
};

Breakdown BuildBreakdown(const RecordStore& records, const RaceConditions& conditions,
                         BreakdownAxis axis);

}  // namespace lomi
