// Tallies split by one axis: the groups add up to the report's tally, each
// group is the tally of a filter run for its value, labels follow the
// selectors.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "analysis/breakdown.h"
#include "analysis/figure_table.h"
#include "data/numeric_text.h"
#include "record_mix.h"
#include "tally/race_filter.h"

namespace lomi {
namespace {

TallyAccumulators Sum(const Breakdown& breakdown, std::int64_t& records) {
    TallyAccumulators sum;
    records = 0;
    for (const BreakdownGroup& g : breakdown.groups) {
        records += g.recordCount;
        sum.WinPayout += g.tally.WinPayout;
        sum.PlacePayout += g.tally.PlacePayout;
        sum.QuinellaPayout += g.tally.QuinellaPayout;
        sum.WidePayout += g.tally.WidePayout;
        sum.WinHits += g.tally.WinHits;
        sum.PlaceHits += g.tally.PlaceHits;
        sum.QuinellaHits += g.tally.QuinellaHits;
        sum.WideHits += g.tally.WideHits;
        sum.PairTickets += g.tally.PairTickets;
        sum.ExtractedRaces += g.tally.ExtractedRaces;
    }
    return sum;
}

std::vector<RaceConditions> SomeConditions() {
    std::vector<RaceConditions> sets(6);
    sets[1].venue = 5;
    sets[2].runners = 12;
    sets[2].runnersOrMore = 1;
    sets[3].firstDate = "20010601";
    sets[3].lastDate = "20020331";
    sets[4].surface = 2;
    sets[4].distance = 18;
    sets[5].firstDate = "20300101";  // matches nothing
    return sets;
}

TEST(Breakdown, GroupsAddUpToTheReportOnEveryAxis) {
    // Odd records of every kind, fractional payouts rounded on the running
    // total and sums near nothing: the groups still add up exactly.
    const RecordStore store = test::MixedStore(1, 30000, 20, true);
    for (const RaceConditions& c : SomeConditions()) {
        const TallyAccumulators report = ExtractAndTally(store, c);
        for (const BreakdownAxis axis : kBreakdownAxes) {
            const Breakdown breakdown = BuildBreakdown(store, c, axis);
            std::int64_t records = 0;
            EXPECT_EQ(Sum(breakdown, records), report) << AxisKey(axis) << " venue " << c.venue;
            EXPECT_EQ(breakdown.total, report) << AxisKey(axis);
            // Every record has a group; with a period, every race of the period.
            RaceConditions period;
            period.firstDate = c.firstDate;
            period.lastDate = c.lastDate;
            const std::int64_t expected =
                c.firstDate.empty() ? static_cast<std::int64_t>(store.Size())
                                    : ExtractAndTally(store, period).ExtractedRaces;
            EXPECT_EQ(records, expected) << AxisKey(axis);
            EXPECT_EQ(breakdown.recordCount, expected);
            std::set<std::string> keys;
            for (const BreakdownGroup& g : breakdown.groups) keys.insert(g.key);
            EXPECT_EQ(keys.size(), breakdown.groups.size()) << AxisKey(axis);
        }
    }
}

TEST(Breakdown, TotalKeepsTheOrderOfAdditionsAtTheLimits) {
    // Usual records of two venues between values that reach the limit of
    // 64 bits and a negative one that takes the sum down again: the total
    // is still the report's, whatever order the groups took their sums in.
    const auto usual = [](const char* venue, const std::string& payouts) {
        return std::string(venue) + "111646116" + payouts + "3" + "20010415";
    };
    RecordStore store;
    for (int i = 0; i < 30000; ++i) store.Append(usual(i % 3 ? "05" : "06", "999999999999999999"));
    for (int i = 0; i < 3; ++i) store.Append(usual("06", "9e99 .05 0.25 .050"));
    for (int i = 0; i < 1000; ++i) store.Append(usual(i % 2 ? "05" : "06", "   1   1    1    1"));
    store.Append(usual("05", "  -3  -3   -3   -3"));
    store.Append(usual("06", ".125.125 .125 .125"));
    for (const BreakdownAxis axis : {BreakdownAxis::Venue, BreakdownAxis::Year}) {
        EXPECT_EQ(BuildBreakdown(store, {}, axis).total, ExtractAndTally(store, {}))
            << AxisKey(axis);
    }
}

// The condition that selects exactly the records of a group, where the
// command line and the selectors have one.
bool RestrictTo(BreakdownAxis axis, const std::string& key, RaceConditions& c) {
    if (axis == BreakdownAxis::Year || axis == BreakdownAxis::Month) {
        if (key.empty() || !IsWholeNumberText(key) || key.find(' ') != std::string::npos) {
            return false;
        }
        // Within the period already set.
        c.firstDate = std::max(c.firstDate, key + std::string(8 - key.size(), '0'));
        const std::string last = key + std::string(8 - key.size(), '9');
        if (c.lastDate.empty() || last < c.lastDate) c.lastDate = last;
        return true;
    }
    if (!IsWholeNumberText(key)) return false;
    // Only values inside the range of 全抽出 are counted at all.
    constexpr std::int32_t kHighest[] = {10, 12, 18, 5, 6, 2, 99};
    const auto code = static_cast<std::int32_t>(NumericValue(key));
    if (code < 1 || code > kHighest[static_cast<std::size_t>(axis)]) return false;
    std::string written = std::to_string(code);
    const std::size_t width = key.size();
    if (code >= 0 && written.size() < width) written.insert(0, width - written.size(), '0');
    if (code == 0 || written != key) return false;  // "5 " or " 5" has no selector code
    std::int32_t* const targets[] = {&c.venue,     &c.race,    &c.runners, &c.age,
                                     &c.raceClass, &c.surface, &c.distance};
    *targets[static_cast<std::size_t>(axis)] = code;
    c.runnersOrMore = 0;
    return true;
}

TEST(Breakdown, EachGroupIsTheTallyOfAFilterRunForItsValue) {
    // Whole payout fields, so that a group's sums are its own running total.
    const RecordStore store = test::MixedStore(2, 12000, 10, false, false);
    RaceConditions base;
    base.lastDate = "20021130";
    for (const BreakdownAxis axis : kBreakdownAxes) {
        const Breakdown breakdown = BuildBreakdown(store, base, axis);
        int compared = 0;
        for (const BreakdownGroup& g : breakdown.groups) {
            RaceConditions c = base;
            if (!RestrictTo(axis, g.key, c)) {
                // A value 全抽出 leaves out counts nothing.
                if (axis != BreakdownAxis::Year && axis != BreakdownAxis::Month &&
                    IsWholeNumberText(g.key) && NumericValue(g.key) > 99) {
                    EXPECT_EQ(g.tally.ExtractedRaces, 0) << g.key;
                }
                continue;
            }
            EXPECT_EQ(g.tally, ExtractAndTally(store, c)) << AxisKey(axis) << " " << g.key;
            ++compared;
        }
        EXPECT_GE(compared, 2) << AxisKey(axis);
    }
}

TEST(Breakdown, LabelsAreTheSelectorsNames) {
    struct Case {
        BreakdownAxis axis;
        const char* key;
        const char* label;
    };
    const Case cases[] = {
        {BreakdownAxis::Venue, "05", "東京"},
        {BreakdownAxis::Venue, "10", "小倉"},
        {BreakdownAxis::Venue, "11", "11"},
        {BreakdownAxis::Venue, "0ｱ", "0ｱ"},
        {BreakdownAxis::Race, "10", "１０レース"},
        {BreakdownAxis::Runners, "16", "１６頭"},
        {BreakdownAxis::Age, "0", "0"},
        {BreakdownAxis::Age, "4", "３歳上"},
        {BreakdownAxis::Class, "6", "オープン"},
        {BreakdownAxis::Surface, "2", "ダート"},
        {BreakdownAxis::Surface, "-", "-"},
        {BreakdownAxis::Distance, "08", " 800m"},
        {BreakdownAxis::Distance, "16", "1600m"},
        {BreakdownAxis::Distance, "1A", "1A"},
        {BreakdownAxis::Year, "2001", "2001"},
        {BreakdownAxis::Month, "200104", "2001-04"},
        {BreakdownAxis::Month, "2001年", "2001年"},
        {BreakdownAxis::Year, "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GroupLabel(c.axis, c.key), c.label) << AxisKey(c.axis) << " " << c.key;
    }
}

TEST(Breakdown, GroupsInTheSelectorsOrder) {
    RecordStore store;
    for (const char* venueAndYear : {"092010", "102010", "052009", "062011"}) {
        const std::string text = venueAndYear;
        store.Append(text.substr(0, 2) + "111646116  23  12    0    03" + text.substr(2) + "0415");
    }
    const Breakdown venues = BuildBreakdown(store, {}, BreakdownAxis::Venue);
    std::vector<std::string> labels;
    for (const BreakdownGroup& g : venues.groups) labels.push_back(g.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"東京", "中山", "阪神", "小倉"}));
    const Breakdown years = BuildBreakdown(store, {}, BreakdownAxis::Year);
    std::vector<std::string> keys;
    for (const BreakdownGroup& g : years.groups) keys.push_back(g.key);
    EXPECT_EQ(keys, (std::vector<std::string>{"2009", "2010", "2011"}));
}

TEST(Breakdown, EmptyStoreAndEmptyResult) {
    const Breakdown none = BuildBreakdown(RecordStore(), {}, BreakdownAxis::Class);
    EXPECT_TRUE(none.groups.empty());
    EXPECT_EQ(none.total, TallyAccumulators());
    const std::vector<std::vector<std::string>> rows = BreakdownRows(none);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "合計");
    EXPECT_EQ(rows[0][2], "0");
    EXPECT_EQ(rows[0][7], "—");  // no race: no rate
    EXPECT_EQ(BreakdownRows(none, "")[0][8], "");

    RaceConditions nothing;
    nothing.firstDate = "20300101";
    const RecordStore store = test::MixedStore(3, 500, 5, false);
    const Breakdown empty = BuildBreakdown(store, nothing, BreakdownAxis::Venue);
    // A period without a race has no group and no race.
    EXPECT_TRUE(empty.groups.empty());
    EXPECT_EQ(empty.recordCount, 0);
    EXPECT_EQ(empty.total, TallyAccumulators());
}

TEST(BreakdownRows, HeaderAndCellsAsTheReportWritesThem) {
    RecordStore store;
    // The worked example's first four races (one day, two venues).
    for (const char* race : {"05111646116  23  12    0    0", "05101245214   0   0    0    0",
                             "05091433120   0  15    0   42", "06111646120  45  17  860  230"}) {
        store.Append(std::string(race) + "3" + "20010415");
    }
    const Breakdown breakdown = BuildBreakdown(store, {}, BreakdownAxis::Venue);
    const std::vector<std::string> header = BreakdownHeader(BreakdownAxis::Venue);
    ASSERT_EQ(header.size(), 28u);
    EXPECT_EQ(header[0], "開催");
    EXPECT_EQ(header[4], "単勝投票");
    EXPECT_EQ(header[27], "ﾜｲﾄﾞ平均配当");
    const auto rows = BreakdownRows(breakdown);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"東京", "05",     "3",      "3",   "300", "230",
                                                 "-70",  "76.67%", "33.33%", "230", "300", "270",
                                                 "-30",  "90.00%", "66.67%", "135", "900", "0",
                                                 "-900", "0.00%",  "0.00%",  "0",   "900", "420",
                                                 "-480", "46.67%", "33.33%", "420"}));
    EXPECT_EQ(rows[2][0], "合計");
    EXPECT_EQ(rows[2][2], "4");
    EXPECT_EQ(rows[2][4], "400");
    EXPECT_EQ(rows[2][5], "680");
}

}  // namespace
}  // namespace lomi
