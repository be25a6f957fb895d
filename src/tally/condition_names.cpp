#include "tally/condition_names.h"

#include "tally/selector_items.h"

namespace lomi {
namespace {

std::string Named(const std::vector<std::string>& names, std::int32_t value) {
    return value == 0 ? std::string() : NameOrNumber(names, value);
}

}  // namespace

const char* ConditionName(Condition condition) {
    switch (condition) {
        case Condition::Venue:
            return "開催";
        case Condition::Race:
            return "ﾚｰｽ";
        case Condition::Runners:
            return "頭数";
        case Condition::Age:
            return "馬齢";
        case Condition::Class:
            return "ｸﾗｽ";
        case Condition::Surface:
            return "馬場";
        case Condition::Distance:
            return "距離";
        case Condition::Date:
            return "日付";
    }
    return "";
}

std::string ConditionValueText(const RaceConditions& c, Condition condition) {
    switch (condition) {
        case Condition::Venue:
            return Named(VenueNames(), c.venue);
        case Condition::Race:
            return Named(RaceNames(), c.race);
        case Condition::Runners: {
            std::string text = Named(HeadcountNames(), c.runners);
            if (!text.empty() && c.runnersOrMore == 1) text += " 以上";
            return text;
        }
        case Condition::Age:
            return Named(AgeNames(), c.age);
        case Condition::Class:
            return Named(ClassNames(), c.raceClass);
        case Condition::Surface:
            return Named(SurfaceNames(), c.surface);
        case Condition::Distance: {
            if (c.distance == 0) return {};
            std::string text = DistanceText(c.distance);
            return text.substr(text.find_first_not_of(' '));
        }
        case Condition::Date:
            return c.date == kAllRaces ? std::string() : c.date;
    }
    return {};
}

std::string PeriodText(const RaceConditions& conditions) {
    if (conditions.firstDate.empty() && conditions.lastDate.empty()) return {};
    const auto date = [](const std::string& d) { return d.empty() ? d : DateText(d); };
    return date(conditions.firstDate) + "～" + date(conditions.lastDate);
}

std::string ConditionsText(const RaceConditions& conditions) {
    std::string text;
    const auto add = [&text](const std::string& part) {
        if (!text.empty()) text += "、";
        text += part;
    };
    for (const Condition condition : kConditions) {
        const std::string value = ConditionValueText(conditions, condition);
        if (!value.empty()) add(std::string(ConditionName(condition)) + " " + value);
    }
    const std::string period = PeriodText(conditions);
    if (!period.empty()) add("期間 " + period);
    return text.empty() ? kAllRaces : text;
}

}  // namespace lomi
