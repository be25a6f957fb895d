#pragma once

#include <array>
#include <string>

#include "tally/race_conditions.h"

namespace lomi {

// The race conditions by name: the one table the command line's help, the
// condition lines of the windows and the breakdown's axes all read.
enum class Condition { Venue, Race, Runners, Age, Class, Surface, Distance, Date };
inline constexpr std::array<Condition, 8> kConditions = {
    Condition::Venue, Condition::Race,    Condition::Runners,  Condition::Age,
    Condition::Class, Condition::Surface, Condition::Distance, Condition::Date};

// 開催, ﾚｰｽ, 頭数, 馬齢, ｸﾗｽ, 馬場, 距離, 日付: as the main window labels them.
const char* ConditionName(Condition condition);

// The chosen value as its selector shows it ("東京", "１２頭 以上",
// "1600m", "2001-04-15"); empty when the condition does not restrict.
std::string ConditionValueText(const RaceConditions& conditions, Condition condition);

// The period as "2001-04-01～2001-06-30" ("～2001-06-30" with an open
// start); empty without one.
std::string PeriodText(const RaceConditions& conditions);

// Every restricting condition as "name value", then the period, joined by
// "、": "開催 東京、頭数 １２頭 以上、期間 2001-04-01～2001-06-30";
// "全抽出" when nothing restricts.
std::string ConditionsText(const RaceConditions& conditions);

}  // namespace lomi
