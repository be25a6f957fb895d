#pragma once

#include <bitset>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "data/program_state.h"

namespace lomi {

// What the condition lists of one LoadedData already hold, so that a load
// tests each field of each record in constant time instead of searching
// the lists. Belongs to one LoadedData, from an empty store onwards.
class ConditionIndex {
public:
    ConditionIndex() : seenText_(kSeenTextWords) {}

    bool Contains(int list, std::int16_t value) const;
    void Insert(int list, std::int16_t value);
    // The date list is probed with the last date first: a file's races
    // share their date, so the hash set is rarely consulted.
    bool ContainsDate(std::string_view date);
    void InsertDate(std::string_view date);
    // Whether the field text of list whose bytes make up raw (one or two
    // ASCII bytes, the first in the low byte) was handled before: its value
    // is then in the list already or is one the list leaves out, so the
    // field needs no reading at all.
    bool SeenText(int list, std::uint16_t raw) const {
        return (seenText_[Bit(list, raw) / 64] >> (Bit(list, raw) % 64) & 1) != 0;
    }
    void MarkText(int list, std::uint16_t raw);
    // Whether date is the date last probed or inserted.
    bool IsLastDate(std::string_view date) const {
        // The usual date of eight characters compares as one word.
        if (date.size() == 8 && lastDate_.size() == 8) {
            return std::char_traits<char>::compare(date.data(), lastDate_.data(), 8) == 0;
        }
        return hasLastDate_ && date.size() == lastDate_.size() &&
               std::char_traits<char>::compare(date.data(), lastDate_.data(), date.size()) == 0;
    }

private:
    static std::size_t Bit(int list, std::uint16_t raw) {
        return static_cast<std::size_t>(list) * 65536 + raw;
    }

    static constexpr std::size_t kSeenTextWords = 7 * 65536 / 64;
    std::vector<std::uint64_t> seenText_;  // 7 × 65536 bits
    std::bitset<65536> numeric_[7];
    // Looked up by the record's own characters, without a copy.
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    std::unordered_set<std::string, TextHash, std::equal_to<>> dates_;
    std::string lastDate_;
    bool hasLastDate_ = false;
};

// Adds the record's eight condition values to the lists of data that do not
// hold them yet. Numeric fields are read as numbers and stored rounded
// (halves to even); a value that rounds to 0 is not stored, since 0 stands
// for "no restriction" in the selectors. The date field is stored as text,
// an empty one included. Returns false with message set when a count would
// pass 32767 (only the date list can get there).
bool AddConditionValues(std::string_view record, LoadedData& data, ConditionIndex& index,
                        std::string& message);
// The same, searching the lists themselves; for single records.
bool AddConditionValues(std::string_view record, LoadedData& data, std::string& message);

// Numeric lists ascending, the date list descending by character codes (the
// latest date first, an empty date last).
void SortConditionLists(LoadedData& data);

}  // namespace lomi
