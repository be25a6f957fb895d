#pragma once

// Stores of generated records for the grouped tallies: usual records over
// two years of dates, some with odd condition, payout, slot or date
// fields or cut short, and with fractional payout fields when asked.

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "data/record_store.h"

namespace lomi::test {

inline std::string RightText(const std::string& text, std::size_t width) {
    return text.size() >= width ? text.substr(0, width)
                                : std::string(width - text.size(), ' ') + text;
}

inline std::string MixedRecord(std::mt19937& random, int oddPercent, bool fractions, bool cut) {
    const auto odd = [&] { return static_cast<int>(random() % 100) < oddPercent; };
    const auto pick = [&](const std::vector<std::string>& items) {
        return items[random() % items.size()];
    };
    char conditions[32];
    std::snprintf(conditions, sizeof conditions, "%02d%02d%02d%d%d%d%02d",
                  static_cast<int>(random() % 11) + 1, static_cast<int>(random() % 12) + 1,
                  static_cast<int>(random() % 19) + 1, static_cast<int>(random() % 6),
                  static_cast<int>(random() % 7), static_cast<int>(random() % 3),
                  static_cast<int>(random() % 36) + 10);
    std::string record = conditions;
    if (odd()) {
        const std::size_t at = random() % 11;
        record.replace(at, 1, pick({" ", "-", "A", "9", "ｱ"}));
    }
    const auto payout = [&](std::size_t width) {
        if (odd()) {
            std::vector<std::string> oddFields = {
                std::string(width, '-'), "1 2", "\t12", "-3", "", "0 "};
            if (fractions) oddFields.insert(oddFields.end(), {"0.25", "  .5", ".05", "9e3"});
            return RightText(pick(oddFields), width);
        }
        const int value = random() % 3 == 0 ? 0 : static_cast<int>(random() % 3000);
        return RightText(std::to_string(value), width);
    };
    record += payout(4) + payout(4) + payout(5) + payout(5);
    record += odd() ? pick({"x", " ", "９"}) : std::to_string(random() % 7);
    char date[16];
    std::snprintf(date, sizeof date, "%04d%02d%02d", 2001 + static_cast<int>(random() % 2),
                  static_cast<int>(random() % 12) + 1, static_cast<int>(random() % 28) + 1);
    if (!cut) return record + date;
    record += odd() ? pick({"2001041", "2001年415", "", "200104150"}) : std::string(date);
    if (odd() && random() % 4 == 0) record.resize(random() % record.size());
    return record;
}

// With cut, some records lose their end or have odd dates; without, every
// record has its 38 characters and a true date, so that a period can
// select the records of any group of dates.
inline RecordStore MixedStore(unsigned seed, int count, int oddPercent, bool fractions,
                              bool cut = true) {
    std::mt19937 random(seed);
    RecordStore store;
    for (int i = 0; i < count; ++i) store.Append(MixedRecord(random, oddPercent, fractions, cut));
    return store;
}

}  // namespace lomi::test
