// The tally against a plain model of its rules, over large stores that mix
// the usual records with every kind of odd one: whatever road a record
// takes inside ExtractAndTally, the sums must be the model's.

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "data/cp932.h"
#include "data/numeric_text.h"
#include "support/utf32_text.h"
#include "tally/payout_fields.h"
#include "tally/race_filter.h"

namespace lomi {
namespace {

// The rules, character by character, with no shortcut.
class ModelTally {
public:
    explicit ModelTally(const RaceConditions& c) {
        struct Condition {
            std::int32_t code;
            const char* lowest;
            const char* highest;
            std::size_t width;
        };
        const Condition conditions[] = {{c.venue, "01", "10", 2},   {c.race, "01", "12", 2},
                                        {c.runners, "01", "18", 2}, {c.age, "0", "5", 1},
                                        {c.raceClass, "0", "6", 1}, {c.surface, "0", "2", 1},
                                        {c.distance, "00", "99", 2}};
        int k = 0;
        for (const Condition& condition : conditions) {
            std::u32string low = test::Utf8ToU32(condition.lowest);
            std::u32string high = test::Utf8ToU32(condition.highest);
            if (condition.code != 0) {
                std::string text = std::to_string(condition.code);
                if (condition.code >= 0 && text.size() < condition.width) {
                    text.insert(0, condition.width - text.size(), '0');
                }
                low = test::Utf8ToU32(text);
                high = low;
                if (k == 2 && c.runnersOrMore == 1) high = U"18";
            }
            low_.push_back(Fit(low, condition.width));
            high_.push_back(Fit(high, condition.width));
            ++k;
        }
        dateLow_ = U"00000000";
        dateHigh_ = U"99999999";
        if (c.date != kAllRaces) {
            const std::u32string date = test::Utf8ToU32(c.date);
            dateLow_ = Fit(date.substr(0, 4) + Slice(date, 5, 2) + Slice(date, 8, 2), 8);
            dateHigh_ = dateLow_;
        }
        if (!c.firstDate.empty()) firstDate_ = Fit(test::Utf8ToU32(c.firstDate), 8);
        if (!c.lastDate.empty()) lastDate_ = Fit(test::Utf8ToU32(c.lastDate), 8);
    }

    void Add(std::string_view record) {
        const std::u32string r = test::Utf8ToU32(record);
        static constexpr std::size_t kStarts[] = {0, 2, 4, 6, 7, 8, 9};
        static constexpr std::size_t kWidths[] = {2, 2, 2, 1, 1, 1, 2};
        for (std::size_t k = 0; k < 7; ++k) {
            const std::u32string field = Fit(Slice(r, kStarts[k], kWidths[k]), kWidths[k]);
            if (field < low_[k] || field > high_[k]) return;
        }
        const std::u32string date = Slice(r, 30, 8);
        if (date < dateLow_ || date > dateHigh_) return;
        if ((!firstDate_.empty() && date < firstDate_) ||
            (!lastDate_.empty() && date > lastDate_)) {
            return;
        }
        const std::u32string win = Slice(r, 11, 4);
        const std::u32string place = Slice(r, 15, 4);
        const std::u32string quinella = Slice(r, 19, 5);
        const std::u32string wide = Slice(r, 24, 5);
        const char32_t slotChar = r.size() > 29 ? r[29] : U' ';
        const int slots =
            slotChar >= U'0' && slotChar <= U'9' ? static_cast<int>(slotChar - U'0') : 0;
        if (win == U"----" || place == U"----") return;
        if (slots != 0 && (quinella == U"-----" || wide == U"-----")) return;
        sums.ExtractedRaces += 1;
        sums.PairTickets += slots;
        AddPayoutValue(NumericValue(test::U32ToUtf8(win)), sums.WinPayout, sums.WinHits);
        AddPayoutValue(NumericValue(test::U32ToUtf8(place)), sums.PlacePayout, sums.PlaceHits);
        AddPayoutValue(NumericValue(test::U32ToUtf8(quinella)), sums.QuinellaPayout,
                       sums.QuinellaHits);
        AddPayoutValue(NumericValue(test::U32ToUtf8(wide)), sums.WidePayout, sums.WideHits);
    }

    TallyAccumulators sums;

private:
    static std::u32string Fit(std::u32string text, std::size_t width) {
        text.resize(width, U' ');
        return text;
    }
    static std::u32string Slice(const std::u32string& text, std::size_t start, std::size_t n) {
        return start < text.size() ? text.substr(start, n) : std::u32string();
    }

    std::vector<std::u32string> low_;
    std::vector<std::u32string> high_;
    std::u32string dateLow_;
    std::u32string dateHigh_;
    std::u32string firstDate_;  // of the period; empty when open
    std::u32string lastDate_;
};

template <typename T>
const T& Pick(std::mt19937& random, const std::vector<T>& items) {
    return items[random() % items.size()];
}

std::string Right(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

// A record as the reader writes them, now and then with a field that is
// not the usual one.
std::string UsualRecord(std::mt19937& random, int oddPercent) {
    const auto odd = [&] { return static_cast<int>(random() % 100) < oddPercent; };
    char conditions[32];
    std::snprintf(conditions, sizeof conditions, "%02d%02d%02d%d%d%d%02d",
                  static_cast<int>(random() % 11) + 1, static_cast<int>(random() % 12) + 1,
                  static_cast<int>(random() % 19) + 1, static_cast<int>(random() % 6),
                  static_cast<int>(random() % 7), static_cast<int>(random() % 3),
                  static_cast<int>(random() % 36) + 10);
    std::string record = conditions;
    if (odd()) record[random() % 11] = Pick(random, std::vector<char>{' ', '-', 'A', '9'});
    const auto payout = [&](std::size_t width, int limit) {
        if (odd()) {
            return Right(Pick(random,
                              std::vector<std::string>{std::string(width, '-'), "1 2", "0.25",
                                                       "  .5", "\t12", "-3", "9e3", "1", "", "0 "}),
                         width)
                .substr(0, width);
        }
        const int value = random() % 3 == 0 ? 0 : static_cast<int>(random() % limit);
        return Right(std::to_string(value), width);
    };
    record += payout(4, 10000) + payout(4, 10000) + payout(5, 100000) + payout(5, 100000);
    record += odd() ? Pick(random, std::vector<std::string>{"x", " ", "９"})
                    : std::to_string(random() % 7);
    record += odd()
                  ? Pick(random, std::vector<std::string>{"2001041", "2001年415", "", "200104150"})
                  : Pick(random, std::vector<std::string>{"20010415", "20010422", "20010506"});
    return record;
}

std::string StrangeRecord(std::mt19937& random) {
    const std::vector<std::string> pieces = {"0",  "1", "5", "9", " ",  "-",    "----", ".",
                                             "全", "ｱ", "é", "|", "\t", "2001", "e",    "\xFF"};
    std::string record;
    const std::size_t count = random() % 30;
    for (std::size_t i = 0; i < count; ++i) record += Pick(random, pieces);
    return record;
}

std::vector<RaceConditions> ConditionSets(std::mt19937& random, int count) {
    std::vector<RaceConditions> sets(1);  // no restriction first
    while (static_cast<int>(sets.size()) < count) {
        RaceConditions c;
        const auto code = [&](std::vector<std::int32_t> values) {
            return random() % 2 == 0 ? 0 : Pick(random, values);
        };
        c.venue = code({1, 5, 10, 11, -5, 100});
        c.race = code({1, 11, 12});
        c.runners = code({5, 16, 18, 19});
        c.age = code({0, 2, 5});
        c.raceClass = code({3, 6});
        c.surface = code({1, 2});
        c.distance = code({10, 18, 45});
        c.runnersOrMore = static_cast<std::int16_t>(random() % 3);
        c.date = Pick(random, std::vector<std::string>{kAllRaces, kAllRaces, "2001-04-15",
                                                       "2001-05-06", "2001-年4-15", "2001-4-15"});
        const std::vector<std::string> ends = {"", "", "20010415", "20010416", "2001041", "2001"};
        c.firstDate = Pick(random, ends);
        c.lastDate = Pick(random, std::vector<std::string>{"", "", "20010422", "20010506", "2"});
        sets.push_back(c);
    }
    return sets;
}

void ExpectModelSums(const std::vector<std::string>& records,
                     const std::vector<RaceConditions>& sets) {
    RecordStore store;
    for (const std::string& record : records) store.Append(record);
    for (const RaceConditions& c : sets) {
        ModelTally model(c);
        for (const std::string& record : records) model.Add(record);
        EXPECT_EQ(ExtractAndTally(store, c), model.sums)
            << "venue " << c.venue << " race " << c.race << " runners " << c.runners << " age "
            << c.age << " class " << c.raceClass << " surface " << c.surface << " distance "
            << c.distance << " or more " << c.runnersOrMore << " date " << c.date << " period "
            << c.firstDate << "-" << c.lastDate;
        // Every other consumer takes each record's outcome from the filter.
        const RaceFilter filter(c);
        TallyAccumulators perRecord;
        store.ForEach([&](std::string_view text, bool plain) {
            RaceOutcome race;
            if (filter.Evaluate(text, plain, race)) AddOutcome(perRecord, race);
        });
        EXPECT_EQ(perRecord, model.sums) << "per record, venue " << c.venue << " date " << c.date
                                         << " period " << c.firstDate << "-" << c.lastDate;
    }
}

TEST(ExtractAndTallyModel, UsualRecordsWithFewOddOnes) {
    // Long runs of usual records, across more than one block of the store.
    std::mt19937 random(1);
    std::vector<std::string> records;
    for (int i = 0; i < 20000; ++i) records.push_back(UsualRecord(random, 1));
    ExpectModelSums(records, ConditionSets(random, 12));
}

TEST(ExtractAndTallyModel, EveryKindOfRecordMixed) {
    std::mt19937 random(2);
    std::vector<std::string> records;
    for (int i = 0; i < 6000; ++i) {
        records.push_back(random() % 4 == 0 ? StrangeRecord(random) : UsualRecord(random, 25));
    }
    ExpectModelSums(records, ConditionSets(random, 16));
}

std::string Usual(const std::string& payouts, int slots = 3) {
    return "05111646116" + payouts + std::to_string(slots) + "20010415";
}

TEST(ExtractAndTallyModel, SumsOfUsualRecordsFarBeyondTwoToTheThirtyTwo) {
    std::vector<std::string> records;
    for (int i = 0; i < 100000; ++i) records.push_back(Usual("999999999999999999", i % 7));
    ExpectModelSums(records, {RaceConditions{}});
}

TEST(ExtractAndTallyModel, OddValuesBetweenUsualRecordsAreAddedInTheirPlace) {
    // A sum that reached its limit stays there while usual records follow,
    // and a negative value after them takes it down from the limit: the
    // order of the additions shows in the result.
    std::vector<std::string> records;
    for (int i = 0; i < 50000; ++i) records.push_back(Usual("999999999999999999"));
    // Each 9e99 adds 2^62 at most; three of them reach the limit.
    for (int i = 0; i < 3; ++i) records.push_back(Usual("9e99 .05 0.25 .050"));
    for (int i = 0; i < 1000; ++i) records.push_back(Usual("   1   1    1    1"));
    records.push_back(Usual("  -3  -3   -3   -3"));
    records.push_back(Usual("   1   1    1    1"));
    records.push_back(Usual(".125.125 .125 .125"));
    records.push_back(Usual("0.25 0.2 0.250 .25"));
    ExpectModelSums(records, {RaceConditions{}});
}

}  // namespace
}  // namespace lomi
