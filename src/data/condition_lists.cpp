#include "data/condition_lists.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "data/cp932.h"
#include "data/numeric_text.h"

namespace lomi {
namespace {

constexpr std::size_t kMaxListCount = 32767;

struct NumericField {
    std::size_t start;   // 0-based character position in the record
    std::size_t length;  // characters
    std::vector<std::int16_t> LoadedData::*list;
};

// Venue, race, runners, age, class, surface, distance, in record order.
constexpr NumericField kNumericFields[] = {
    {0, 2, &LoadedData::VenueList},     {2, 2, &LoadedData::RaceList},
    {4, 2, &LoadedData::HeadcountList}, {6, 1, &LoadedData::AgeList},
    {7, 1, &LoadedData::ClassList},     {8, 1, &LoadedData::SurfaceList},
    {9, 2, &LoadedData::DistanceList},
};
constexpr std::size_t kDateStart = 30;
constexpr std::size_t kDateLength = 8;

bool IsAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

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

template <typename Contains, typename Insert, typename HasDate, typename AddDate>
bool AddValues(std::string_view record, LoadedData& data, std::string& message, Contains contains,
               Insert insert, HasDate hasDate, AddDate addDate) {
    const bool ascii = IsAscii(record);
    for (int i = 0; i < 7; ++i) {
        const NumericField& field = kNumericFields[i];
        const auto stored = FieldValue(CharacterField(record, ascii, field.start, field.length));
        if (!stored) {
            message = "条件の値が範囲を超えています";
            return false;
        }
        if (*stored == 0 || contains(i, *stored)) continue;
        std::vector<std::int16_t>& list = data.*field.list;
        if (list.size() >= kMaxListCount) {
            message = "条件の値の種類が 32767 を超えます";
            return false;
        }
        list.push_back(*stored);
        insert(i, *stored);
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
    if (dates_.find(std::string(date)) == dates_.end()) return false;
    lastDate_.assign(date);
    hasLastDate_ = true;
    return true;
}

void ConditionIndex::InsertDate(std::string_view date) {
    dates_.emplace(date);
    lastDate_.assign(date);
    hasLastDate_ = true;
}

bool AddConditionValues(std::string_view record, LoadedData& data, ConditionIndex& index,
                        std::string& message) {
    return AddValues(
        record, data, message, [&](int list, std::int16_t v) { return index.Contains(list, v); },
        [&](int list, std::int16_t v) { index.Insert(list, v); },
        [&](std::string_view date) { return index.ContainsDate(date); },
        [&](std::string_view date) { index.InsertDate(date); });
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
        [](std::string_view) {});
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
