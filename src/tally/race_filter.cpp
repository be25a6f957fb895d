#include "tally/race_filter.h"

#include <algorithm>
#include <array>
#include <string>

#include "data/ascii_run.h"
#include "tally/plain_sums.h"
#include "tally/utf8_chars.h"

namespace lomi {
namespace {

using record::kChars;
using record::kDate;

std::u32string AsciiU32(std::string_view text) { return std::u32string(text.begin(), text.end()); }

std::u32string Utf8U32(std::string_view text) {
    std::u32string out;
    for (std::size_t pos = 0; pos < text.size();) out.push_back(NextCodePoint(text, pos));
    return out;
}

// Text cut to width characters, or padded on the right with spaces.
std::u32string Fit(std::u32string text, std::size_t width) {
    text.resize(width, U' ');
    return text;
}

// A fitted field of one or two characters as a number that orders exactly
// as the text does under ordinal comparison.
std::uint64_t Key(char32_t first) { return first; }
std::uint64_t Key(char32_t first, char32_t second) {
    return (static_cast<std::uint64_t>(first) << 21) | second;
}
std::uint64_t KeyOfFitted(const std::u32string& fitted) {
    return fitted.size() == 1 ? Key(fitted[0]) : Key(fitted[0], fitted[1]);
}

// The code with at least `digits` digits (leading zeros). A negative code is
// written plainly ("-5"), the form a two-character record field holds it in,
// so a negative value offered by a selector finds its records.
std::u32string CodeText(std::int32_t code, std::size_t digits) {
    std::string text = std::to_string(code);
    if (code >= 0 && text.size() < digits) text.insert(0, digits - text.size(), '0');
    return AsciiU32(text);
}

bool IsAscii(const std::u32string& text) {
    return std::all_of(text.begin(), text.end(), [](char32_t c) { return c < 0x80; });
}

// Eight ASCII characters as the fast path reads them.
std::uint64_t OrderedWord(const std::u32string& eight) {
    char bytes[8];
    for (std::size_t i = 0; i < 8; ++i) bytes[i] = static_cast<char>(eight[i]);
    return LoadOrderedWord(bytes);
}

// Any record, read by character: characters past the end read as spaces.
// A record whose first 38 bytes are ASCII is read in place; any other has
// its first 38 characters decoded into a fixed buffer.
class GeneralRecord {
public:
    explicit GeneralRecord(std::string_view text) : text_(text) {
        if (text.size() >= kChars &&
            IsAsciiBytes(reinterpret_cast<const unsigned char*>(text.data()), kChars)) {
            ascii_ = true;
            size_ = kChars;
            return;
        }
        std::size_t pos = 0;
        while (size_ < kChars && pos < text.size()) {
            offsets_[size_] = pos;
            chars_[size_] = NextCodePoint(text, pos);
            ++size_;
        }
        offsets_[size_] = pos;
    }
    std::size_t Size() const { return size_; }
    // Whether the first 38 bytes are ASCII, character i being byte i.
    bool Ascii() const { return ascii_; }
    char32_t At(std::size_t i) const {
        if (i >= size_) return U' ';
        return ascii_ ? static_cast<char32_t>(text_[i]) : chars_[i];
    }
    // Characters start .. start + width - 1, as many as exist.
    std::string_view Field(record::Field field) const {
        if (field.start >= size_) return {};
        const std::size_t end = std::min(field.start + field.width, size_);
        if (ascii_) return text_.substr(field.start, end - field.start);
        return text_.substr(offsets_[field.start], offsets_[end] - offsets_[field.start]);
    }
    // Ordinal comparison of the date characters (as many as exist, not
    // padded) with a bound of eight characters: negative, 0 or positive.
    int CompareDate(const std::u32string& bound) const {
        const std::size_t length =
            size_ > kDate.start ? std::min(size_ - kDate.start, kDate.width) : 0;
        for (std::size_t i = 0; i < length; ++i) {
            const char32_t c = At(kDate.start + i);
            if (c != bound[i]) return c < bound[i] ? -1 : 1;
        }
        return length < kDate.width ? -1 : 0;
    }

private:
    std::string_view text_;
    bool ascii_ = false;
    std::array<char32_t, kChars> chars_{};
    std::array<std::size_t, kChars + 1> offsets_{};
    std::size_t size_ = 0;
};

bool IsDashes(std::string_view field, std::size_t width) {
    return field.size() == width && field.find_first_not_of('-') == std::string_view::npos;
}

// A period end YYYYMMDD as a date bound; anything else is taken as text.
std::u32string PeriodBound(const std::string& date) { return Fit(Utf8U32(date), kDate.width); }

}  // namespace

RaceFilter::RaceFilter(const RaceConditions& c) {
    struct Condition {
        std::int32_t code;
        const char* lowest;
        const char* highest;
    };
    const std::array<Condition, 7> conditions = {{{c.venue, "01", "10"},
                                                  {c.race, "01", "12"},
                                                  {c.runners, "01", "18"},
                                                  {c.age, "0", "5"},
                                                  {c.raceClass, "0", "6"},
                                                  {c.surface, "0", "2"},
                                                  {c.distance, "00", "99"}}};
    bool ascii = true;
    char codeLowBytes[16] = {};
    char codeHighBytes[16] = {};
    for (std::size_t k = 0; k < conditions.size(); ++k) {
        const record::Field field = record::kConditionFields[k];
        const Condition& condition = conditions[k];
        std::u32string low = AsciiU32(condition.lowest);
        std::u32string high = AsciiU32(condition.highest);
        if (condition.code != 0) {
            low = CodeText(condition.code, field.width);
            high = low;
            // "以上" widens only the runner condition, and only when a
            // number of runners is chosen.
            if (k == 2 && c.runnersOrMore == 1) high = U"18";
        }
        low = Fit(low, field.width);
        high = Fit(high, field.width);
        low_[k] = KeyOfFitted(low);
        high_[k] = KeyOfFitted(high);
        if (low_[k] > high_[k]) empty_ = true;
        ascii = ascii && IsAscii(low) && IsAscii(high);
        for (std::size_t i = 0; i < field.width; ++i) {
            codeLowBytes[field.start + i] = static_cast<char>(low[i]);
            codeHighBytes[field.start + i] = static_cast<char>(high[i]);
        }
    }

    generalDateLow_ = std::u32string(kDate.width, U'0');
    generalDateHigh_ = std::u32string(kDate.width, U'9');
    if (c.date != kAllRaces) {
        // YYYY-MM-DD back to YYYYMMDD: characters 1-4, 6-7 and 9-10.
        std::string joined(CharSlice(c.date, 1, 4));
        joined += CharSlice(c.date, 6, 2);
        joined += CharSlice(c.date, 9, 2);
        generalDateLow_ = Fit(Utf8U32(joined), kDate.width);
        generalDateHigh_ = generalDateLow_;
    }
    // A period narrows the date bounds: a date within both pairs of bounds
    // lies between the higher lower bound and the lower upper one.
    if (!c.firstDate.empty()) generalDateLow_ = std::max(generalDateLow_, PeriodBound(c.firstDate));
    if (!c.lastDate.empty()) generalDateHigh_ = std::min(generalDateHigh_, PeriodBound(c.lastDate));
    if (generalDateLow_ > generalDateHigh_) empty_ = true;
    ascii = ascii && IsAscii(generalDateLow_) && IsAscii(generalDateHigh_);

    plainRoad_ = ascii && !empty_;
    if (plainRoad_) {
        codeLow0_ = LoadOrderedWord(codeLowBytes);
        codeHigh0_ = LoadOrderedWord(codeHighBytes) | kLaneTops0;
        codeLow1_ = LoadOrderedWord(codeLowBytes + 3);
        codeHigh1_ = LoadOrderedWord(codeHighBytes + 3) | kLaneTops1;
        dateLow_ = OrderedWord(generalDateLow_);
        dateSpan_ = OrderedWord(generalDateHigh_) - dateLow_;
    }
}

template <class Record>
bool RaceFilter::MatchesGeneral(const Record& r) const {
    for (std::size_t k = 0; k < record::kConditionFields.size(); ++k) {
        const record::Field field = record::kConditionFields[k];
        const std::uint64_t key = field.width == 1 ? Key(r.At(field.start))
                                                   : Key(r.At(field.start), r.At(field.start + 1));
        if (key < low_[k] || key > high_[k]) return false;
    }
    return r.CompareDate(generalDateLow_) >= 0 && r.CompareDate(generalDateHigh_) <= 0;
}

bool RaceFilter::EvaluateGeneral(std::string_view text, RaceOutcome& out) const {
    if (empty_) return false;
    const GeneralRecord r(text);
    // A record whose first 38 bytes are ASCII has its condition and date
    // characters where the fast path reads them, so it is matched the same
    // way; only its payout fields need the general reading.
    if (r.Ascii() && plainRoad_) {
        if (!MatchesPlain(text.data())) return false;
    } else if (!MatchesGeneral(r)) {
        return false;
    }

    std::array<std::string_view, 4> fields;
    for (std::size_t k = 0; k < 4; ++k) fields[k] = r.Field(record::kPayoutFields[k]);
    const char32_t slotChar = r.At(record::kSlotCountAt);
    const int slots = slotChar >= U'0' && slotChar <= U'9' ? static_cast<int>(slotChar - U'0') : 0;
    // Countable: 単勝 and 複勝 not dashed out, nor 連勝 and ﾜｲﾄﾞ when
    // tickets were bought for them.
    if (IsDashes(fields[0], 4) || IsDashes(fields[1], 4)) return false;
    if (slots != 0 && (IsDashes(fields[2], 5) || IsDashes(fields[3], 5))) return false;

    out.slotCount = slots;
    std::array<PayoutValue, 4> read;
    for (std::size_t k = 0; k < 4; ++k) read[k] = ReadPayoutField(fields[k]);
    out.whole = read[0].whole && read[1].whole && read[2].whole && read[3].whole;
    for (std::size_t k = 0; k < 4; ++k) {
        out.units[k] = read[k].units;
        out.values[k] = read[k].whole ? static_cast<double>(read[k].units) : read[k].value;
    }
    out.date = r.Field(kDate);
    return true;
}

namespace {

// PlainSums::MoveInto with the counts passed by value and returned, so that
// the counts never leave the registers of the loop.
LOMI_NOINLINE PlainCounts MoveCountsInto(PlainSums& sums, PlainCounts counts,
                                         TallyAccumulators& tally) {
    sums.MoveInto(counts, tally);
    return counts;
}

// Any record the fast path does not take: rare, kept out of the loop.
LOMI_NOINLINE bool EvaluateOther(const RaceFilter& filter, std::string_view text,
                                 RaceOutcome& race) {
    return filter.Evaluate(text, false, race);
}

}  // namespace

TallyAccumulators ExtractAndTally(const RecordStore& records, const RaceConditions& conditions) {
    const RaceFilter filter(conditions);
    TallyAccumulators tally;
    if (filter.MatchesNothing()) return tally;
    const bool plainRoad = filter.PlainRoad();
    PlainCounts counts;
    PlainSums sums;
    records.ForEach([&](std::string_view text, bool plain) LOMI_ALWAYS_INLINE_LAMBDA {
        if (plain && plainRoad) {
            if (!filter.MatchesPlain(text.data())) return;
            sums.Count(counts, text.data());
            return;
        }
        RaceOutcome race;
        if (!EvaluateOther(filter, text, race)) return;
        // A value that is not whole is rounded on the running total, so the
        // plain sums go in first.
        if (!race.whole) counts = MoveCountsInto(sums, counts, tally);
        AddOutcome(tally, race);
    });
    counts = MoveCountsInto(sums, counts, tally);
    return tally;
}

void ExtractAndTally(ProgramState& state, const RaceConditions& conditions) {
    state.Tally = ExtractAndTally(state.Loaded.Records, conditions);
}

}  // namespace lomi
