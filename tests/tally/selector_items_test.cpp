#include "tally/selector_items.h"

#include <gtest/gtest.h>

namespace lomi {
namespace {

std::vector<std::string> Texts(const std::vector<SelectorItem>& items) {
    std::vector<std::string> texts;
    for (const auto& item : items) texts.push_back(item.text);
    return texts;
}

TEST(NameTables, HoldTheirEntriesInFullWidth) {
    EXPECT_EQ(VenueNames().size(), 10u);
    EXPECT_EQ(VenueNames()[0], "札幌");
    EXPECT_EQ(VenueNames()[9], "小倉");
    EXPECT_EQ(RaceNames().size(), 12u);
    EXPECT_EQ(RaceNames()[9], "１０レース");
    EXPECT_EQ(HeadcountNames().size(), 18u);
    EXPECT_EQ(HeadcountNames()[15], "１６頭");
    EXPECT_EQ(AgeNames(), (std::vector<std::string>{"２歳", "３歳", "４歳", "３歳上", "４歳上"}));
    EXPECT_EQ(ClassNames().size(), 6u);
    EXPECT_EQ(ClassNames()[4], "１６００万下");
    EXPECT_EQ(SurfaceNames(), (std::vector<std::string>{"芝", "ダート"}));
}

TEST(NameOrNumber, FallsBackToTheNumber) {
    EXPECT_EQ(NameOrNumber(VenueNames(), 5), "東京");
    EXPECT_EQ(NameOrNumber(VenueNames(), 10), "小倉");
    EXPECT_EQ(NameOrNumber(VenueNames(), 11), "11");
    EXPECT_EQ(NameOrNumber(VenueNames(), 0), "0");
    EXPECT_EQ(NameOrNumber(VenueNames(), -5), "-5");
    EXPECT_EQ(NameOrNumber(SurfaceNames(), 3), "3");
}

TEST(DistanceText, RightAlignedInFourNeverCut) {
    EXPECT_EQ(DistanceText(8), " 800m");
    EXPECT_EQ(DistanceText(12), "1200m");
    EXPECT_EQ(DistanceText(16), "1600m");
    EXPECT_EQ(DistanceText(99), "9900m");
    EXPECT_EQ(DistanceText(-5), "-500m");
    EXPECT_EQ(DistanceText(-9), "-900m");
    EXPECT_EQ(DistanceText(1000), "100000m");
}

TEST(DateText, HyphensByCharacter) {
    EXPECT_EQ(DateText("20010505"), "2001-05-05");
    EXPECT_EQ(DateText(""), "--");
    EXPECT_EQ(DateText("200105"), "2001-05-");
    EXPECT_EQ(DateText("2001年5月"), "2001-年5-月");
}

TEST(BuildSelectorItems, AllRacesFirstThenTheListsInOrder) {
    LoadedData data;
    data.VenueList = {5, 6, 11};
    data.RaceList = {9, 10};
    data.HeadcountList = {16};
    data.AgeList = {-5, 3};
    data.ClassList = {6};
    data.SurfaceList = {1, 2};
    data.DistanceList = {8, 16};
    data.DateList = {"20010506", "20010429", ""};
    const auto selectors = BuildSelectorItems(data);
    ASSERT_EQ(selectors.size(), 8u);
    for (const auto& items : selectors) {
        ASSERT_FALSE(items.empty());
        EXPECT_EQ(items[0], (SelectorItem{"全抽出", 0}));
    }
    EXPECT_EQ(Texts(selectors[0]), (std::vector<std::string>{"全抽出", "東京", "中山", "11"}));
    EXPECT_EQ(selectors[0][3].data, 11);
    EXPECT_EQ(Texts(selectors[1]), (std::vector<std::string>{"全抽出", "９レース", "１０レース"}));
    EXPECT_EQ(Texts(selectors[2]), (std::vector<std::string>{"全抽出", "１６頭"}));
    EXPECT_EQ(Texts(selectors[3]), (std::vector<std::string>{"全抽出", "-5", "４歳"}));
    EXPECT_EQ(selectors[3][1].data, -5);
    EXPECT_EQ(Texts(selectors[4]), (std::vector<std::string>{"全抽出", "オープン"}));
    EXPECT_EQ(Texts(selectors[5]), (std::vector<std::string>{"全抽出", "芝", "ダート"}));
    EXPECT_EQ(selectors[6],
              (std::vector<SelectorItem>{{"全抽出", 0}, {" 800m", 8}, {"1600m", 16}}));
    EXPECT_EQ(selectors[7], (std::vector<SelectorItem>{
                                {"全抽出", 0}, {"2001-05-06", 0}, {"2001-04-29", 0}, {"--", 0}}));
}

TEST(BuildSelectorItems, EmptyDataGivesAllRacesAlone) {
    const auto selectors = BuildSelectorItems(LoadedData{});
    ASSERT_EQ(selectors.size(), 8u);
    for (const auto& items : selectors)
        EXPECT_EQ(items, (std::vector<SelectorItem>{{"全抽出", 0}}));
}

}  // namespace
}  // namespace lomi
