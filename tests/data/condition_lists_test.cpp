#include "data/condition_lists.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lomi {
namespace {

using Values = std::vector<std::int16_t>;
using Dates = std::vector<std::string>;

std::string Fields(const std::string& venue, const std::string& race, const std::string& runners,
                   const std::string& age, const std::string& raceClass, const std::string& surface,
                   const std::string& distance) {
    return venue + race + runners + age + raceClass + surface + distance;
}

// A record with the eleven condition characters given and the rest filled
// as a reader builds it.
std::string Record(const std::string& conditions, const std::string& date = "20010506") {
    return conditions + "  32  14  158   52" + "3" + date;
}

// Adds every record, once through the index a load uses and once through
// the plain search, and checks that both give the same lists.
LoadedData Lists(const std::vector<std::string>& records) {
    LoadedData indexed;
    LoadedData searched;
    ConditionIndex index;
    std::string message;
    for (const std::string& record : records) {
        EXPECT_TRUE(AddConditionValues(record, indexed, index, message)) << message;
        EXPECT_TRUE(AddConditionValues(record, searched, message)) << message;
    }
    EXPECT_EQ(indexed.VenueList, searched.VenueList);
    EXPECT_EQ(indexed.DistanceList, searched.DistanceList);
    EXPECT_EQ(indexed.DateList, searched.DateList);
    SortConditionLists(indexed);
    return indexed;
}

TEST(ConditionLists, EachValueOnceInOrder) {
    const LoadedData data = Lists({
        Record("09111656118", "20010506"),
        Record("05011656118", "20010429"),
        Record("06021656118", "20010505"),
        Record("01111656118", "20010506"),
        Record("01111656118", "20010506"),
    });
    EXPECT_EQ(data.VenueList, (Values{1, 5, 6, 9}));
    EXPECT_EQ(data.RaceList, (Values{1, 2, 11}));
    EXPECT_EQ(data.HeadcountList, Values{16});
    EXPECT_EQ(data.AgeList, Values{5});
    EXPECT_EQ(data.ClassList, Values{6});
    EXPECT_EQ(data.SurfaceList, Values{1});
    EXPECT_EQ(data.DistanceList, Values{18});
    EXPECT_EQ(data.DateList, (Dates{"20010506", "20010505", "20010429"}));
}

TEST(ConditionLists, FieldsReadAsNumbers) {
    const LoadedData data = Lists({
        // venue, race, runners, age, class, surface, distance
        Record(Fields(" 5", "5 ", "05", "5", "5", "5", "05")),  // blanks around digits
        Record(Fields("1A", "A1", "-5", "A", "1", "-", "1A")),  // a letter ends the number
        Record(Fields("--", "00", "  ", "0", " ", "-", "--")),  // nothing to add
    });
    EXPECT_EQ(data.VenueList, (Values{1, 5}));
    EXPECT_EQ(data.RaceList, (Values{5}));
    EXPECT_EQ(data.HeadcountList, (Values{-5, 5}));
    EXPECT_EQ(data.AgeList, (Values{5}));
    EXPECT_EQ(data.ClassList, (Values{1, 5}));
    EXPECT_EQ(data.SurfaceList, (Values{5}));
    EXPECT_EQ(data.DistanceList, (Values{1, 5}));
}

TEST(ConditionLists, FractionsAreStoredRoundedAndOnce) {
    // ".5" rounds to 0, which would stand for "no restriction": not stored.
    // ".9" and "1." both give 1, stored once however often they come.
    const LoadedData data = Lists({
        Record(Fields(".5", ".9", "1.", "1", "1", "1", "11")),
        Record(Fields(".5", ".9", "1.", "1", "1", "1", "11")),
        Record(Fields(".5", "01", "01", "1", "1", "1", "11")),
    });
    EXPECT_TRUE(data.VenueList.empty());
    EXPECT_EQ(data.RaceList, Values{1});
    EXPECT_EQ(data.HeadcountList, Values{1});
}

TEST(ConditionLists, ShortRecordsAndEmptyDates) {
    const LoadedData data = Lists({
        Record("01111656118", ""),  // read before any header: 30 characters
        Record("02111656118", ""),
        Record("03111656118"),
        "0411",  // race data cut short: the missing fields are empty
        "",
    });
    EXPECT_EQ(data.VenueList, (Values{1, 2, 3, 4}));
    EXPECT_EQ(data.RaceList, Values{11});
    EXPECT_EQ(data.DistanceList, Values{18});
    EXPECT_EQ(data.DateList, (Dates{"20010506", ""}));
}

TEST(ConditionLists, DatesSortByCharacterCodesLatestFirst) {
    const LoadedData data = Lists({Record("01111656118", "2001"), Record("01111656118", "20010506"),
                                   Record("01111656118", "2001  ab06"),
                                   Record("01111656118", "19991231"), Record("01111656118", "")});
    // A text that is the start of a longer one sorts after it.
    EXPECT_EQ(data.DateList, (Dates{"20010506", "2001  ab", "2001", "19991231", ""}));
}

TEST(ConditionLists, NonAsciiRecordsCountCharacters) {
    // Double-byte characters in the race data take one position each.
    const LoadedData data = Lists({"札幌111656118  32  14  158   52320010506"});
    EXPECT_TRUE(data.VenueList.empty());
    EXPECT_EQ(data.RaceList, Values{11});
    EXPECT_EQ(data.HeadcountList, Values{16});
    EXPECT_EQ(data.DateList, Dates{"20010506"});
}

TEST(ConditionLists, EmptyLoadGivesEmptyLists) {
    LoadedData data;
    SortConditionLists(data);
    EXPECT_TRUE(data.VenueList.empty());
    EXPECT_TRUE(data.DateList.empty());
}

}  // namespace
}  // namespace lomi
