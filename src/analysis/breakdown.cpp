#include "analysis/breakdown.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "analysis/grouped_tally.h"
#include "data/numeric_text.h"
#include "data/record_layout.h"
#include "tally/condition_names.h"
#include "tally/selector_items.h"

namespace lomi {
namespace {

struct AxisInfo {
    const char* key;
    const char* name;
    record::Field field;
    const std::vector<std::string>& (*names)();  // null: no name table
};

const AxisInfo& Info(BreakdownAxis axis) {
    static const AxisInfo kAxes[] = {
        {"venue", ConditionName(Condition::Venue), record::kVenue, &VenueNames},
        {"race", ConditionName(Condition::Race), record::kRace, &RaceNames},
        {"runners", ConditionName(Condition::Runners), record::kRunners, &HeadcountNames},
        {"age", ConditionName(Condition::Age), record::kAge, &AgeNames},
        {"class", ConditionName(Condition::Class), record::kClass, &ClassNames},
        {"surface", ConditionName(Condition::Surface), record::kSurface, &SurfaceNames},
        {"distance", ConditionName(Condition::Distance), record::kDistance, nullptr},
        {"year", "年", {record::kDate.start, 4}, nullptr},
        {"month", "月", {record::kDate.start, 6}, nullptr},
    };
    return kAxes[static_cast<std::size_t>(axis)];
}

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsDateAxis(BreakdownAxis axis) {
    return axis == BreakdownAxis::Year || axis == BreakdownAxis::Month;
}

}  // namespace

const char* AxisKey(BreakdownAxis axis) { return Info(axis).key; }
const char* AxisName(BreakdownAxis axis) { return Info(axis).name; }

std::optional<BreakdownAxis> AxisFromKey(std::string_view key) {
    for (const BreakdownAxis axis : kBreakdownAxes) {
        if (key == AxisKey(axis)) return axis;
    }
    return std::nullopt;
}

std::string GroupLabel(BreakdownAxis axis, std::string_view key) {
    // Only a field of digits names a code; "0ｱ" or "5 " stay as they are.
    if (!AllDigits(key)) return std::string(key);
    if (axis == BreakdownAxis::Month && key.size() == 6) {
        return std::string(key.substr(0, 4)) + "-" + std::string(key.substr(4));
    }
    if (IsDateAxis(axis)) return std::string(key);
    const int value = static_cast<int>(NumericValue(key));
    if (axis == BreakdownAxis::Distance) return DistanceText(value);
    const std::vector<std::string>& names = Info(axis).names();
    if (value >= 1 && static_cast<std::size_t>(value) <= names.size()) return names[value - 1];
    return std::string(key);
}

namespace {

// With a period, the groups are those with races in it and each counts its
// races of the period: a month or a venue outside the period is no row of
// zeros. The races counted under the conditions (all inside the period)
// keep their sums.
FieldGroups WithinPeriod(const RecordStore& records, const RaceConditions& conditions,
                         record::Field field, FieldGroups counted) {
    RaceConditions periodOnly;
    periodOnly.firstDate = conditions.firstDate;
    periodOnly.lastDate = conditions.lastDate;
    FieldGroups present = TallyByField(records, periodOnly, field, false);
    std::unordered_map<std::string, std::size_t> countedIndex;
    for (std::size_t i = 0; i < counted.keys.size(); ++i) countedIndex.emplace(counted.keys[i], i);
    for (std::size_t i = 0; i < present.keys.size(); ++i) {
        const auto found = countedIndex.find(present.keys[i]);
        present.tallies[i] =
            found != countedIndex.end() ? counted.tallies[found->second] : TallyAccumulators();
    }
    present.total = counted.total;
    return present;
}

}  // namespace

Breakdown BuildBreakdown(const RecordStore& records, const RaceConditions& conditions,
                         BreakdownAxis axis) {
    const record::Field field = Info(axis).field;
    const bool period = !conditions.firstDate.empty() || !conditions.lastDate.empty();
    FieldGroups split = TallyByField(records, conditions, field, !period);
    if (period) split = WithinPeriod(records, conditions, field, std::move(split));
    Breakdown breakdown;
    breakdown.axis = axis;
    breakdown.recordCount = std::accumulate(split.recordCounts.begin(), split.recordCounts.end(),
                                            std::int64_t{0});
    breakdown.total = split.total;

    // The selectors' order: codes by value (the condition lists' reading),
    // dates by their text; texts break ties, so the order never depends on
    // the order of the records.
    std::vector<std::size_t> order(split.keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::vector<double> values(split.keys.size(), 0.0);
    if (!IsDateAxis(axis)) {
        for (std::size_t i = 0; i < split.keys.size(); ++i) values[i] = NumericValue(split.keys[i]);
    }
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (values[a] != values[b]) return values[a] < values[b];
        return split.keys[a] < split.keys[b];
    });
    for (const std::size_t i : order) {
        BreakdownGroup group;
        group.key = std::move(split.keys[i]);
        group.label = GroupLabel(axis, group.key);
        group.recordCount = split.recordCounts[i];
        group.tally = split.tallies[i];
        breakdown.groups.push_back(std::move(group));
    }
    return breakdown;
}

}  // namespace lomi
