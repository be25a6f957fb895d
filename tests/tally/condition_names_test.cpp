#include "tally/condition_names.h"

#include <gtest/gtest.h>

namespace lomi {
namespace {

TEST(ConditionsText, NamesEveryConditionByItsOwnName) {
    RaceConditions c;
    c.venue = 5;
    c.race = 11;
    c.runners = 12;
    c.runnersOrMore = 1;
    c.age = 2;
    c.raceClass = 2;
    c.surface = 1;
    c.distance = 16;
    c.date = "2001-04-15";
    EXPECT_EQ(ConditionsText(c),
              "開催 東京、ﾚｰｽ １１レース、頭数 １２頭 以上、馬齢 ３歳、ｸﾗｽ 未勝利、馬場 芝、"
              "距離 1600m、日付 2001-04-15");

    c = {};
    c.distance = 8;
    c.surface = 3;  // a code without a name shows as itself
    c.lastDate = "20010630";
    EXPECT_EQ(ConditionsText(c), "馬場 3、距離 800m、期間 ～2001-06-30");
    EXPECT_EQ(ConditionsText({}), "全抽出");
    c = {};
    c.runners = 9;  // 以上 belongs to a chosen headcount only
    EXPECT_EQ(ConditionsText(c), "頭数 ９頭");
}

}  // namespace
}  // namespace lomi
