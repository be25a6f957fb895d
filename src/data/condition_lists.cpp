#include "data/condition_lists.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "data/ascii_run.h"
#include "data/cp932.h"
#include "data/numeric_text.h"
#include "data/record_layout.h"

namespace lomi {
namespace {

constexpr std::size_t kMaxListCount = 32767;

struct NumericField {
    std::size_t start;   // 0-based character position in the record
    std::size_t length;  // characters
    std::vector<std::int16_t> LoadedData::*list;
};

constexpr NumericField ListField(record::Field field, std::vector<std::int16_t> LoadedData::*list) {
    return {field.start, field.width, list};
}

// Venue, race, runners, age, class, surface, distance, in record order.
constexpr NumericField kNumericFields[] = {
    ListField(record::kVenue, &LoadedData::VenueList),
    ListField(record::kRace, &LoadedData::RaceList),
    ListField(record::kRunners, &LoadedData::HeadcountList),
    ListField(record::kAge, &LoadedData::AgeList),
    ListField(record::kClass, &LoadedData::ClassList),
    ListField(record::kSurface, &LoadedData::SurfaceList),
    ListField(record::kDistance, &LoadedData::DistanceList),
};
constexpr std::size_t kDateStart = record::kDate.start;
constexpr std::size_t kDateLength = record::kDate.width;

bool IsAscii(std::string_view text) {
    return IsAsciiBytes(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

// Record characters 1-11, where the seven numeric fields lie.
constexpr std::size_t kNumericChars = record::kPayoutsAt;

// Characters [start, start + length) of a UTF-8 text, as many as it has.
std::string_view CharacterField(std::string_view text, bool ascii, std::size_t start,
                                std::size_t length) {
    if (ascii) return start < text.size() ? text.substr(start, length) : std::string_view();
    std::size_t pos = 0;
    for (std::size_t c = 0; c < start && pos < text.size(); ++c) NextUtf8(text, pos);
    const std::size_t begin = pos;
    for (std::size_t c = 0; c < length && pos < text.size(); ++c) NextUtf8(text, pos);
    return text.substr(begin, pos - begin);
}

// The value of a field as stored: the numeric value rounded to 16 bits.
// Fields of plain digits and blanks, nearly all of them, are read without
// the general parser.
std::optional<std::int16_t> FieldValue(std::string_view field) {
    int value = 0;
    for (char c : field) {
        if (c >= '0' && c <= '9') {
            value = value * 10 + (c - '0');
        } else if (c != ' ') {
            return ToInt16(NumericValue(field));
        }
    }
    // At most two characters: no rounding, no overflow.
    return static_cast<std::int16_t>(value);
}

// Seen, Mark: SeenText and MarkText of a ConditionIndex, for fields that
// lie in ASCII bytes, or stand-ins that see nothing.
template <typename Contains, typename Insert, typename HasDate, typename AddDate, typename Seen,
          typename Mark>
bool AddValues(std::string_view record, LoadedData& data, std::string& message, Contains contains,
               Insert insert, HasDate hasDate, AddDate addDate, Seen seen, Mark mark) {
    const bool ascii = IsAscii(record);
    // The numeric fields are their bytes when these are ASCII, whatever
    // follows them.
    const bool asciiFields =
        ascii || (record.size() >= kNumericChars && IsAscii(record.substr(0, kNumericChars)));
    for (int i = 0; i < 7; ++i) {
        const NumericField& field = kNumericFields[i];
        std::uint16_t raw = 0;
        if (asciiFields) {
            const std::string_view text =
                record.substr(std::min(field.start, record.size()), field.length);
            for (std::size_t k = 0; k < text.size(); ++k) {
                raw |= static_cast<std::uint16_t>(static_cast<unsigned char>(text[k]) << (8 * k));
            }
            // A field cut short by the record's end has fewer bytes; a
            // 0x80 marks its length, as no ASCII byte can.
            if (text.size() < field.length)
                raw |= static_cast<std::uint16_t>(0x80 << (8 * text.size()));
            if (seen(i, raw)) continue;
        }
        const auto stored = FieldValue(CharacterField(record, ascii, field.start, field.length));
        if (!stored) {
            message = "条件の値が範囲を超えています";
            return false;
        }
        if (*stored != 0 && !contains(i, *stored)) {
            std::vector<std::int16_t>& list = data.*field.list;
            if (list.size() >= kMaxListCount) {
                message = "条件の値の種類が 32767 を超えます";
                return false;
            }
            list.push_back(*stored);
            insert(i, *stored);
        }
        if (asciiFields) mark(i, raw);
    }
    const std::string_view date = CharacterField(record, ascii, kDateStart, kDateLength);
    if (!hasDate(date)) {
        if (data.DateList.size() >= kMaxListCount) {
            message = "日付の種類が 32767 を超えます";
            return false;
        }
        data.DateList.emplace_back(date);
        addDate(date);
    }
    return true;
}

}  // namespace

bool ConditionIndex::Contains(int list, std::int16_t value) const {
    return numeric_[list].test(static_cast<std::uint16_t>(value));
}

void ConditionIndex::Insert(int list, std::int16_t value) {
    numeric_[list].set(static_cast<std::uint16_t>(value));
}

bool ConditionIndex::ContainsDate(std::string_view date) {
    if (hasLastDate_ && date == lastDate_) return true;
    if (dates_.find(date) == dates_.end()) return false;
    lastDate_.assign(date);
    hasLastDate_ = true;
    return true;
}

void ConditionIndex::MarkText(int list, std::uint16_t raw) {
    seenText_[Bit(list, raw) / 64] |= std::uint64_t{1} << (Bit(list, raw) % 64);
}

void ConditionIndex::InsertDate(std::string_view date) {
    dates_.emplace(date);
    lastDate_.assign(date);
    hasLastDate_ = true;
}

namespace {

// Nearly every record of a load adds nothing: its condition fields are
// ASCII texts met before, and its date is the one of the record before.
// Such a record is recognised from its bytes alone.
bool AddsNothing(std::string_view record, const ConditionIndex& index) {
    constexpr std::size_t kDateEnd = kDateStart + kDateLength;
    if (record.size() < kNumericChars) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(record.data());
    // Characters up to the date's end are bytes when those bytes are ASCII.
    if (!IsAsciiBytes(p, std::min(record.size(), kDateEnd))) return false;
    const auto pair = [&](std::size_t at) {
        return static_cast<std::uint16_t>(p[at] | p[at + 1] << 8);
    };
    return index.SeenText(0, pair(0)) && index.SeenText(1, pair(2)) && index.SeenText(2, pair(4)) &&
           index.SeenText(3, p[6]) && index.SeenText(4, p[7]) && index.SeenText(5, p[8]) &&
           index.SeenText(6, pair(9)) &&
           index.IsLastDate(record.substr(std::min(kDateStart, record.size()), kDateLength));
}

}  // namespace

bool AddConditionValues(std::string_view record, LoadedData& data, ConditionIndex& index,
                        std::string& message) {
    if (AddsNothing(record, index)) return true;
    return AddValues(
        record, data, message, [&](int list, std::int16_t v) { return index.Contains(list, v); },
        [&](int list, std::int16_t v) { index.Insert(list, v); },
        [&](std::string_view date) { return index.ContainsDate(date); },
        [&](std::string_view date) { index.InsertDate(date); },
        [&](int list, std::uint16_t raw) { return index.SeenText(list, raw); },
        [&](int list, std::uint16_t raw) { index.MarkText(list, raw); });
}

bool AddConditionValues(std::string_view record, LoadedData& data, std::string& message) {
    return AddValues(
        record, data, message,
        [&](int list, std::int16_t v) {
            const auto& values = data.*kNumericFields[list].list;
            return std::find(values.begin(), values.end(), v) != values.end();
        },
        [](int, std::int16_t) {},
        [&](std::string_view date) {
            return std::find(data.DateList.begin(), data.DateList.end(), date) !=
                   data.DateList.end();
        },
        [](std::string_view) {}, [](int, std::uint16_t) { return false; },
        [](int, std::uint16_t) {});
}

void SortConditionLists(LoadedData& data) {
    for (const NumericField& field : kNumericFields) {
        auto& list = data.*field.list;
        std::sort(list.begin(), list.end());
    }
    // UTF-8 byte order is code point order, and a prefix sorts first.
    std::sort(data.DateList.begin(), data.DateList.end(), std::greater<>());
}

}  // namespace lomi
