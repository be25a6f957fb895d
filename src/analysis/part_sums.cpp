#include "analysis/part_sums.h"

#include <algorithm>
#include <utility>

#include "data/plain_record.h"
#include "data/record_layout.h"
#include "tally/utf8_chars.h"

namespace lomi {
namespace {

// A record's date characters (31-38), as the race filter reads them.
std::string_view RecordDate(std::string_view text, bool plain) {
    if (plain) return text.substr(record::kDate.start, record::kDate.width);
    return CharSlice(text, record::kDate.start + 1, record::kDate.width);
}

// A date text as RaceDaySums keeps it: its first eight bytes, big-endian.
std::uint64_t DateKey(std::string_view date) {
    if (date.size() >= 8) return LoadOrderedWord(date.data());
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        key = key << 8 | (i < date.size() ? static_cast<unsigned char>(date[i]) : 0u);
    }
    return key;
}

}  // namespace

void PatternSums::Part::CloseDay() {
    if (days.empty()) return;
    RaceDaySums& day = days.back();
    day.races = static_cast<std::int32_t>(tally.ExtractedRaces - dayStart.ExtractedRaces);
    day.pairTickets = static_cast<std::int32_t>(tally.PairTickets - dayStart.PairTickets);
    day.payout[0] = SaturatingSub(tally.WinPayout, dayStart.WinPayout);
    day.payout[1] = SaturatingSub(tally.PlacePayout, dayStart.PlacePayout);
    day.payout[2] = SaturatingSub(tally.QuinellaPayout, dayStart.QuinellaPayout);
    day.payout[3] = SaturatingSub(tally.WidePayout, dayStart.WidePayout);
}

namespace {

// Days sorted by date, those of one date merged, when the races came out
// of date order.
void SortDays(std::vector<RaceDaySums>& days) {
    std::stable_sort(days.begin(), days.end(),
                     [](const RaceDaySums& a, const RaceDaySums& b) { return a.date < b.date; });
    std::vector<RaceDaySums> merged;
    for (const RaceDaySums& day : days) {
        if (merged.empty() || merged.back().date != day.date) {
            merged.push_back(day);
            continue;
        }
        RaceDaySums& into = merged.back();
        into.races += day.races;
        into.pairTickets += day.pairTickets;
        for (std::size_t k = 0; k < 4; ++k)
            into.payout[k] = SaturatingAdd(into.payout[k], day.payout[k]);
    }
    days = std::move(merged);
}

void FinishPart(PatternSums::Part& stream, RankedPart& part) {
    part.recordCount = stream.records;
    part.tally = stream.tally;
    part.figures = ComputeFigures(stream.records, stream.tally);
    stream.CloseDay();
    if (!stream.ordered) SortDays(stream.days);
    part.days = std::move(stream.days);
    part.days.shrink_to_fit();
    ComputeSpreads(part);
}

}  // namespace

PatternSums::PatternSums(const RaceFilter& filter, const std::string& split)
    : filter_(filter), split_(split) {}

void PatternSums::Add(std::string_view text) {
    const bool plain = IsPlainRecord(text);
    RaceOutcome race;
    if (!filter_.Evaluate(text, plain, race)) {
        ++parts_[!split_.empty() && RecordDate(text, plain) >= split_].records;
        return;
    }
    // Ordinal comparison of the date characters, as the period's bounds
    // are compared: the later part is what a period from the split counts.
    Part& part = parts_[!split_.empty() && race.date >= split_];
    ++part.records;
    // A part's races come a day at a time: a new date closes the day
    // before and opens its own.
    const std::uint64_t date = DateKey(race.date);
    if (part.days.empty() || part.days.back().date != date) {
        part.CloseDay();
        if (!part.days.empty() && date < part.days.back().date) part.ordered = false;
        part.days.push_back({date, 0, 0, {}});
        part.dayStart = part.tally;
    }
    AddOutcome(part.tally, race);
}

void PatternSums::Finish(RankedPart& earlier, std::optional<RankedPart>& later) {
    FinishPart(parts_[0], earlier);
    if (!split_.empty()) {
        later.emplace();
        FinishPart(parts_[1], *later);
    }
}

}  // namespace lomi
