#include "tally/race_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "data/numeric_text.h"

namespace lomi {
namespace {

// Condition characters 1-11 of a record: codes with leading zeros.
std::string Conditions(int venue, int race, int runners, int age, int raceClass, int surface,
                       int distance) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d%02d%02d%d%d%d%02d", venue, race, runners, age, raceClass,
                  surface, distance);
    return text;
}

// Payout characters 12-29: fields of 4, 4, 5 and 5 characters, as given.
std::string Payouts(const std::string& win, const std::string& place, const std::string& quinella,
                    const std::string& wide) {
    return win + place + quinella + wide;
}

const std::string kOrdinaryConditions = Conditions(5, 11, 16, 4, 6, 1, 16);
const std::string kOrdinaryPayouts = Payouts("0023", "0012", "00000", "00000");

std::string Record(const std::string& conditions = kOrdinaryConditions,
                   const std::string& payouts = kOrdinaryPayouts, const std::string& slots = "3",
                   const std::string& date = "20010415") {
    return conditions + payouts + slots + date;
}

// The six races of the report's worked example.
const std::vector<std::string> kExampleRecords = {
    Record(Conditions(5, 11, 16, 4, 6, 1, 16), Payouts("0023", "0012", "00000", "00000"), "3"),
    Record(Conditions(5, 10, 12, 4, 5, 2, 14), Payouts("0000", "0000", "00000", "00000"), "3"),
    Record(Conditions(5, 9, 14, 3, 3, 1, 20), Payouts("0000", "0015", "00000", "00042"), "3"),
    Record(Conditions(6, 11, 16, 4, 6, 1, 20), Payouts("0045", "0017", "00860", "00230"), "3"),
    Record(Conditions(5, 11, 18, 4, 6, 2, 24), Payouts("----", "----", "-----", "-----"), "3",
           "20010422"),
    Record(Conditions(6, 5, 10, 2, 2, 2, 12), Payouts("0000", "0000", "-----", "-----"), "0",
           "20010422"),
};

RecordStore Store(const std::vector<std::string>& records) {
    RecordStore store;
    for (const auto& record : records) store.Append(record);
    return store;
}

std::int64_t Counted(const RecordStore& store, const RaceConditions& conditions = {}) {
    return ExtractAndTally(store, conditions).ExtractedRaces;
}

TEST(ExtractAndTally, WorkedExampleWithoutConditionsCountsFiveOfSix) {
    ASSERT_EQ(kExampleRecords[0].size(), 38u);
    const TallyAccumulators t = ExtractAndTally(Store(kExampleRecords), RaceConditions{});
    EXPECT_EQ(t.ExtractedRaces, 5);
    EXPECT_EQ(t.PairTickets, 12);
    EXPECT_EQ(t.WinPayout, 680);
    EXPECT_EQ(t.WinHits, 2);
    EXPECT_EQ(t.PlacePayout, 440);
    EXPECT_EQ(t.PlaceHits, 3);
    EXPECT_EQ(t.QuinellaPayout, 8600);
    EXPECT_EQ(t.QuinellaHits, 1);
    EXPECT_EQ(t.WidePayout, 2720);
    EXPECT_EQ(t.WideHits, 2);
}

TEST(ExtractAndTally, WorkedExampleSixteenRunnersOrMore) {
    RaceConditions c;
    c.runners = 16;
    c.runnersOrMore = 1;
    const TallyAccumulators t = ExtractAndTally(Store(kExampleRecords), c);
    EXPECT_EQ(t.ExtractedRaces, 2);
    EXPECT_EQ(t.PairTickets, 6);
    EXPECT_EQ(t.WinPayout, 680);
    EXPECT_EQ(t.WinHits, 2);
    EXPECT_EQ(t.QuinellaPayout, 8600);
    EXPECT_EQ(t.QuinellaHits, 1);
}

TEST(ExtractAndTally, StateVersionReplacesTheOldSums) {
    ProgramState state;
    for (const auto& record : kExampleRecords) state.Loaded.Records.Append(record);
    state.Tally.WinPayout = 999999;
    ExtractAndTally(state, RaceConditions{});
    const TallyAccumulators first = state.Tally;
    ExtractAndTally(state, RaceConditions{});
    EXPECT_EQ(state.Tally, first);
    EXPECT_EQ(state.Tally.WinPayout, 680);
}

TEST(ExtractAndTally, RunnersOrMoreWidensOnlyTheRunnerCondition) {
    const RecordStore store = Store(
        {Record(Conditions(5, 11, 15, 4, 6, 1, 18)), Record(Conditions(5, 11, 16, 4, 6, 1, 18)),
         Record(Conditions(5, 11, 17, 4, 6, 1, 18)), Record(Conditions(5, 11, 18, 4, 6, 1, 18)),
         Record(Conditions(6, 11, 17, 4, 6, 1, 18))});
    RaceConditions c;
    c.runners = 16;
    EXPECT_EQ(Counted(store, c), 1);
    c.runnersOrMore = 1;
    EXPECT_EQ(Counted(store, c), 4);
    c.venue = 5;
    EXPECT_EQ(Counted(store, c), 3);
    c.runnersOrMore = 2;  // only the value 1 sets the flag
    EXPECT_EQ(Counted(store, c), 1);
    RaceConditions none;  // without a chosen number the flag changes nothing
    none.runnersOrMore = 1;
    EXPECT_EQ(Counted(store, none), 5);
}

TEST(ExtractAndTally, EachConditionSelectsItsField) {
    const RecordStore store = Store(kExampleRecords);
    const auto count = [&](auto set) {
        RaceConditions c;
        set(c);
        return Counted(store, c);
    };
    EXPECT_EQ(count([](RaceConditions& c) { c.venue = 5; }), 3);
    EXPECT_EQ(count([](RaceConditions& c) { c.race = 11; }), 2);
    EXPECT_EQ(count([](RaceConditions& c) { c.runners = 16; }), 2);
    EXPECT_EQ(count([](RaceConditions& c) { c.age = 4; }), 3);
    EXPECT_EQ(count([](RaceConditions& c) { c.raceClass = 6; }), 2);
    EXPECT_EQ(count([](RaceConditions& c) { c.surface = 2; }), 2);
    EXPECT_EQ(count([](RaceConditions& c) { c.distance = 20; }), 2);
    EXPECT_EQ(count([](RaceConditions& c) { c.date = "2001-04-15"; }), 4);
    EXPECT_EQ(count([](RaceConditions& c) { c.date = "2001-04-22"; }), 1);
    EXPECT_EQ(count([](RaceConditions& c) { c.date = "2001-04-16"; }), 0);
    EXPECT_EQ(count([](RaceConditions& c) {
                  c.venue = 5;
                  c.surface = 1;
                  c.date = "2001-04-15";
              }),
              2);
}

TEST(ExtractAndTally, FullRangesLeaveOutCodesBeyondThem) {
    // Without restriction a venue must lie in 01..10, runners in 01..18,
    // a surface in 0..2; a chosen code still finds its records.
    const RecordStore store = Store({Record(Conditions(11, 11, 16, 4, 6, 1, 18)),
                                     Record(Conditions(5, 11, 19, 4, 6, 1, 18)),
                                     Record(Conditions(5, 11, 16, 4, 6, 3, 18))});
    EXPECT_EQ(Counted(store), 0);
    RaceConditions c;
    c.venue = 11;
    EXPECT_EQ(Counted(store, c), 1);
    c = {};
    c.runners = 19;
    EXPECT_EQ(Counted(store, c), 1);
    c.runnersOrMore = 1;  // "19" to "18": an empty range
    EXPECT_EQ(Counted(store, c), 0);
    c = {};
    c.surface = 3;
    EXPECT_EQ(Counted(store, c), 1);
}

TEST(ExtractAndTally, CodesAreComparedAsFittedTexts) {
    const RecordStore store =
        Store({Record("10111646116"), Record("-5111646116"), Record(" 5111646116")});
    RaceConditions c;
    c.venue = 100;  // cut to its first two characters, "10"
    EXPECT_EQ(Counted(store, c), 1);
    c.venue = -5;  // a negative code offered by a selector finds its records
    EXPECT_EQ(Counted(store, c), 1);
    c.venue = 5;  // "05" is not " 5": the comparison is on the texts
    EXPECT_EQ(Counted(store, c), 0);
}

TEST(ExtractAndTally, CountableRule) {
    struct Case {
        std::string payouts;
        std::string slots;
        std::int64_t counted;
    };
    const Case cases[] = {
        {Payouts("----", "0012", "00000", "00000"), "3", 0},  // dashed 単勝
        {Payouts("0023", "----", "00000", "00000"), "0", 0},  // dashed 複勝
        {Payouts("0023", "0012", "-----", "00000"), "3", 0},  // dashed 連勝 with tickets
        {Payouts("0023", "0012", "00000", "-----"), "1", 0},  // dashed ﾜｲﾄﾞ with tickets
        {Payouts("0023", "0012", "-----", "-----"), "0", 1},  // no tickets: not looked at
        {Payouts("0023", "0012", "-----", "-----"), "x", 1},  // not a digit: no tickets
        {Payouts("0023", "0012", "00000", " ----"), "3", 1},  // four dashes are not five
        {Payouts("-- 0", "0012", "00000", "00000"), "3", 1},
    };
    for (const Case& c : cases) {
        const std::string record = Record(kOrdinaryConditions, c.payouts, c.slots);
        const TallyAccumulators t = ExtractAndTally(Store({record}), RaceConditions{});
        EXPECT_EQ(t.ExtractedRaces, c.counted) << record;
        if (c.counted == 0) {
            EXPECT_EQ(t, TallyAccumulators{}) << record;
        }
    }
}

TEST(ExtractAndTally, PayoutsCountInTensAndZeroIsNoHit) {
    const RecordStore store =
        Store({Record(kOrdinaryConditions, Payouts("0023", "0000", "00000", "00010"), "0"),
               Record(kOrdinaryConditions, Payouts("0000", "  07", "00000", " 0 12"), "2")});
    const TallyAccumulators t = ExtractAndTally(store, RaceConditions{});
    EXPECT_EQ(t.WinPayout, 230);
    EXPECT_EQ(t.WinHits, 1);
    EXPECT_EQ(t.PlacePayout, 70);
    EXPECT_EQ(t.PlaceHits, 1);
    EXPECT_EQ(t.QuinellaPayout, 0);
    EXPECT_EQ(t.QuinellaHits, 0);
    EXPECT_EQ(t.WidePayout, 100 + 120);  // blanks inside a field are ignored
    EXPECT_EQ(t.WideHits, 2);
    EXPECT_EQ(t.PairTickets, 2);
    EXPECT_EQ(t.ExtractedRaces, 2);
}

TEST(ExtractAndTally, NegativeAndFractionalPayouts) {
    const TallyAccumulators negative = ExtractAndTally(
        Store({Record(kOrdinaryConditions, Payouts(" -23", "0012", "00000", "00000"))}), {});
    EXPECT_EQ(negative.WinPayout, -230);
    EXPECT_EQ(negative.WinHits, 0);
    // Fractions are rounded on the running total, halves to even: 1.25
    // gives 1, then 1 + 2.5 = 3.5 gives 4 (rounding each alone gives 3).
    const TallyAccumulators fraction = ExtractAndTally(
        Store({Record(kOrdinaryConditions, Payouts(".125", "0012", "00000", "00000")),
               Record(kOrdinaryConditions, Payouts("0.25", "0012", "00000", "00000"))}),
        {});
    EXPECT_EQ(fraction.WinPayout, 4);
    EXPECT_EQ(fraction.WinHits, 2);
}

TEST(ExtractAndTally, ShortRecordsAndEmptyDatesNeverMatch) {
    const std::string noDate = kOrdinaryConditions + kOrdinaryPayouts + "3";
    ASSERT_EQ(noDate.size(), 30u);
    const RecordStore store = Store({"", "05111", kOrdinaryConditions + "0023", noDate});
    EXPECT_EQ(Counted(store), 0);
    RaceConditions venue;
    venue.venue = 5;
    EXPECT_EQ(Counted(store, venue), 0);
    RaceConditions emptyDate;
    emptyDate.date = "--";  // the item an empty date gets
    EXPECT_EQ(Counted(store, emptyDate), 0);
}

TEST(ExtractAndTally, PartialDateIsComparedAsItStands) {
    // Five date characters lie between 00000000 and 99999999, but are never
    // equal to a chosen date.
    const RecordStore store = Store({Record(kOrdinaryConditions, kOrdinaryPayouts, "3", "20010")});
    EXPECT_EQ(Counted(store), 1);
    RaceConditions dated;
    dated.date = "2001-04-15";
    EXPECT_EQ(Counted(store, dated), 0);
}

TEST(ExtractAndTally, FieldsAreCountedInCharactersNotBytes) {
    // Double-byte characters in the 単勝 field move the bytes of the date,
    // not its character positions.
    const RecordStore store =
        Store({Record(kOrdinaryConditions, Payouts("全角数字", "0012", "00000", "00000"))});
    RaceConditions dated;
    dated.date = "2001-04-15";
    const TallyAccumulators t = ExtractAndTally(store, dated);
    EXPECT_EQ(t.ExtractedRaces, 1);
    EXPECT_EQ(t.WinPayout, 0);
    EXPECT_EQ(t.WinHits, 0);
    EXPECT_EQ(t.PlacePayout, 120);
    // A full-width digit is no digit: it sorts above every bound.
    EXPECT_EQ(Counted(Store({Record("０5111646116")})), 0);
}

TEST(ExtractAndTally, DateConditionTakesItsTextByCharacters) {
    const RecordStore store =
        Store({Record(kOrdinaryConditions, kOrdinaryPayouts, "3", "20010415"),
               Record(kOrdinaryConditions, kOrdinaryPayouts, "3", "2001年415")});
    RaceConditions c;
    c.date = "2001-年4-15";
    EXPECT_EQ(Counted(store, c), 1);
    c.date = "2001-04-15";
    EXPECT_EQ(Counted(store, c), 1);
}

TEST(ExtractAndTally, SumsPastTwoToTheThirtyFirstStayTrue) {
    RecordStore store;
    const std::string record =
        Record(kOrdinaryConditions, Payouts("9999", "9999", "99999", "99999"), "6");
    constexpr int kRaces = 30000;
    for (int i = 0; i < kRaces; ++i) store.Append(record);
    const TallyAccumulators t = ExtractAndTally(store, RaceConditions{});
    EXPECT_EQ(t.ExtractedRaces, kRaces);
    EXPECT_EQ(t.PairTickets, 6 * kRaces);
    EXPECT_EQ(t.WinPayout, std::int64_t{99990} * kRaces);
    EXPECT_EQ(t.QuinellaPayout, std::int64_t{999990} * kRaces);
    EXPECT_GT(t.QuinellaPayout, std::int64_t{1} << 34);
}

TEST(ExtractAndTally, EveryPayoutFieldReadsAsItsNumericValue) {
    // Whatever a payout field holds, its payout is ten times its numeric
    // value and it is a hit when that is above zero; the usual right-aligned
    // fields take a faster road than the rest, and both must agree.
    const std::string alphabet = " 0123456789-.\te+";
    std::mt19937 random(20010415);
    for (int i = 0; i < 20000; ++i) {
        const std::size_t width = i % 2 == 0 ? 4 : 5;
        std::string field;
        for (std::size_t k = 0; k < width; ++k) field += alphabet[random() % alphabet.size()];
        const double v = NumericValue(field);
        if (field == std::string(width, '-') || std::fabs(v) > 1e12) continue;
        const std::string record =
            width == 4 ? Record(kOrdinaryConditions, Payouts(field, "0012", "00000", "00000"))
                       : Record(kOrdinaryConditions, Payouts("0023", "0012", field, "00000"));
        const TallyAccumulators t = ExtractAndTally(Store({record}), {});
        const std::int64_t payout = width == 4 ? t.WinPayout : t.QuinellaPayout;
        const std::int64_t hits = width == 4 ? t.WinHits : t.QuinellaHits;
        ASSERT_EQ(payout, static_cast<std::int64_t>(RoundHalfEven(v * 10))) << "[" << field << "]";
        ASSERT_EQ(hits, v > 0 ? 1 : 0) << "[" << field << "]";
    }
}

TEST(ExtractAndTally, AbsurdExponentsSaturateInsteadOfWrapping) {
    const std::string record =
        Record(kOrdinaryConditions, Payouts("9e99", "0012", "00000", "00000"));
    const TallyAccumulators t = ExtractAndTally(Store({record, record, record}), {});
    EXPECT_EQ(t.WinPayout, std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(t.WinHits, 3);
}

}  // namespace
}  // namespace lomi
