#include "tally/race_filter.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string_view>
#include <utility>

#include "tally/payout_fields.h"
#include "tally/utf8_chars.h"

// The plain road's step is small and runs a million times a tally: it
// belongs inside the loop, whatever the compiler's size heuristics say.
// The rare roads stay out of it, so that it stays small.
#if defined(__GNUC__)
#define LOMI_ALWAYS_INLINE [[gnu::always_inline]] inline
#define LOMI_ALWAYS_INLINE_LAMBDA __attribute__((always_inline))
#define LOMI_NOINLINE [[gnu::noinline]]
#elif defined(_MSC_VER)
#define LOMI_ALWAYS_INLINE __forceinline
#define LOMI_ALWAYS_INLINE_LAMBDA [[msvc::forceinline]]
#define LOMI_NOINLINE __declspec(noinline)
#else
#define LOMI_ALWAYS_INLINE inline
#define LOMI_ALWAYS_INLINE_LAMBDA
#define LOMI_NOINLINE
#endif

namespace lomi {
namespace {

// Record layout, 0-based character positions.
constexpr std::size_t kRecordChars = 38;
constexpr std::size_t kSlotCountAt = 29;
constexpr std::size_t kDateAt = 30;
constexpr std::size_t kDateWidth = 8;

struct CodeField {
    std::size_t start;
    std::size_t width;
};
// Venue, race number, runners, age, class, surface, distance.
constexpr std::array<CodeField, 7> kCodeFields = {
    {{0, 2}, {2, 2}, {4, 2}, {6, 1}, {7, 1}, {8, 1}, {9, 2}}};

// A fitted field of one or two characters as a number that orders exactly
// as the text does under ordinal comparison (code points fit in 21 bits).
using FieldKey = std::uint64_t;

constexpr FieldKey Key(char32_t first) { return first; }
constexpr FieldKey Key(char32_t first, char32_t second) {
    return (static_cast<FieldKey>(first) << 21) | second;
}

struct Bounds {
    std::array<FieldKey, 7> low{};
    std::array<FieldKey, 7> high{};
    std::array<char32_t, kDateWidth> dateLow{};
    std::array<char32_t, kDateWidth> dateHigh{};
    // The date bounds as words, when both are ASCII (always, unless the date
    // text holds other characters): the fast path compares them in one step.
    bool dateAscii = false;
    std::uint64_t dateLowWord = 0;
    std::uint64_t dateHighWord = 0;
    // The seven code bounds packed as the fast path reads a record's
    // condition bytes (see CodeWords), when every bound character is ASCII.
    bool codesAscii = false;
    std::uint64_t codeLow[2] = {};
    std::uint64_t codeHigh[2] = {};
    // A lower bound above its upper one (19 runners or more: "19" to "18")
    // leaves nothing to match.
    bool empty = false;
};

// Eight bytes as one number that orders as the bytes do (the first byte
// most significant), so a date is compared in one step.
std::uint64_t BigEndian64(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, 8);
    if constexpr (std::endian::native == std::endian::little) {
#if defined(__GNUC__)
        word = __builtin_bswap64(word);
#else
        word = ((word & 0x00FF00FF00FF00FFULL) << 8) | ((word >> 8) & 0x00FF00FF00FF00FFULL);
        word = ((word & 0x0000FFFF0000FFFFULL) << 16) | ((word >> 16) & 0x0000FFFF0000FFFFULL);
        word = (word << 32) | (word >> 32);
#endif
    }
    return word;
}

// Text cut to width characters, or padded on the right with spaces.
std::u32string Fit(std::u32string text, std::size_t width) {
    text.resize(width, U' ');
    return text;
}

std::u32string AsciiU32(std::string_view text) { return std::u32string(text.begin(), text.end()); }

std::u32string Utf8U32(std::string_view text) {
    std::u32string out;
    for (std::size_t pos = 0; pos < text.size();) out.push_back(NextCodePoint(text, pos));
    return out;
}

// The code with at least `digits` digits (leading zeros). A negative code is
// written plainly ("-5"), the form a two-character record field holds it in,
// so a negative value offered by a selector finds its records.
std::u32string CodeText(std::int32_t code, std::size_t digits) {
    std::string text = std::to_string(code);
    if (code >= 0 && text.size() < digits) text.insert(0, digits - text.size(), '0');
    return AsciiU32(text);
}

FieldKey KeyOfFitted(const std::u32string& text, std::size_t width) {
    const std::u32string fitted = Fit(text, width);
    return width == 1 ? Key(fitted[0]) : Key(fitted[0], fitted[1]);
}

// Record characters 1-11 as two words whose lanes hold the seven fields:
// bytes 1-8 big-endian, so the two-character fields at 1, 3 and 5 fill
// 16-bit lanes and the one-character fields at 7 and 8 8-bit lanes; then
// bytes 4-11 big-endian, whose lowest lanes are byte 9 and bytes 10-11
// (the bytes above them are not looked at). A lane compares as its
// field's text does.
constexpr std::uint64_t kCodeLaneTops[2] = {0x8000800080008080ULL, 0x808000ULL};

std::array<std::uint64_t, 2> CodeWords(const char* bytes) {
    return {BigEndian64(bytes), BigEndian64(bytes + 3)};
}

Bounds BuildBounds(const RaceConditions& c) {
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
    Bounds bounds;
    bool asciiCodes = true;
    std::array<char, 16> codeLowBytes{};
    std::array<char, 16> codeHighBytes{};
    for (std::size_t k = 0; k < conditions.size(); ++k) {
        const std::size_t width = kCodeFields[k].width;
        const Condition& condition = conditions[k];
        std::u32string low = AsciiU32(condition.lowest);
        std::u32string high = AsciiU32(condition.highest);
        if (condition.code != 0) {
            low = CodeText(condition.code, width);
            high = low;
            // "以上" widens only the runner condition, and only when a
            // number of runners is chosen.
            if (k == 2 && c.runnersOrMore == 1) high = U"18";
        }
        bounds.low[k] = KeyOfFitted(low, width);
        bounds.high[k] = KeyOfFitted(high, width);
        if (bounds.low[k] > bounds.high[k]) bounds.empty = true;
        const std::u32string fittedLow = Fit(low, width);
        const std::u32string fittedHigh = Fit(high, width);
        for (std::size_t i = 0; i < width; ++i) {
            if (fittedLow[i] >= 0x80 || fittedHigh[i] >= 0x80) asciiCodes = false;
            codeLowBytes[kCodeFields[k].start + i] = static_cast<char>(fittedLow[i]);
            codeHighBytes[kCodeFields[k].start + i] = static_cast<char>(fittedHigh[i]);
        }
    }
    bounds.codesAscii = asciiCodes;
    const auto lowWords = CodeWords(codeLowBytes.data());
    const auto highWords = CodeWords(codeHighBytes.data());
    for (int w = 0; w < 2; ++w) {
        bounds.codeLow[w] = lowWords[w];
        bounds.codeHigh[w] = highWords[w];
    }

    std::u32string dateLow(kDateWidth, U'0');
    std::u32string dateHigh(kDateWidth, U'9');
    if (c.date != kAllRaces) {
        // YYYY-MM-DD back to YYYYMMDD: characters 1-4, 6-7 and 9-10.
        std::string joined(CharSlice(c.date, 1, 4));
        joined += CharSlice(c.date, 6, 2);
        joined += CharSlice(c.date, 9, 2);
        dateLow = Fit(Utf8U32(joined), kDateWidth);
        dateHigh = dateLow;
    }
    std::copy(dateLow.begin(), dateLow.end(), bounds.dateLow.begin());
    std::copy(dateHigh.begin(), dateHigh.end(), bounds.dateHigh.begin());
    bounds.dateAscii = true;
    std::array<char, kDateWidth> lowBytes{};
    std::array<char, kDateWidth> highBytes{};
    for (std::size_t i = 0; i < kDateWidth; ++i) {
        if (dateLow[i] >= 0x80 || dateHigh[i] >= 0x80) bounds.dateAscii = false;
        lowBytes[i] = static_cast<char>(dateLow[i]);
        highBytes[i] = static_cast<char>(dateHigh[i]);
    }
    bounds.dateLowWord = BigEndian64(lowBytes.data());
    bounds.dateHighWord = BigEndian64(highBytes.data());
    return bounds;
}

// Any other record: its first 38 characters decoded into a fixed buffer;
// characters past the end read as spaces.
class GeneralRecord {
public:
    explicit GeneralRecord(std::string_view text) : text_(text) {
        std::size_t pos = 0;
        while (size_ < kRecordChars && pos < text.size()) {
            offsets_[size_] = pos;
            chars_[size_] = NextCodePoint(text, pos);
            ++size_;
        }
        offsets_[size_] = pos;
    }
    std::size_t Size() const { return size_; }
    char32_t At(std::size_t i) const { return i < size_ ? chars_[i] : U' '; }
    // Characters start .. start + width - 1, as many as exist.
    std::string_view Field(std::size_t start, std::size_t width) const {
        if (start >= size_) return {};
        const std::size_t end = std::min(start + width, size_);
        return text_.substr(offsets_[start], offsets_[end] - offsets_[start]);
    }

private:
    std::string_view text_;
    std::array<char32_t, kRecordChars> chars_{};
    std::array<std::size_t, kRecordChars + 1> offsets_{};
    std::size_t size_ = 0;
};

// Ordinal comparison of the record's date characters (as many as exist, not
// padded) with a bound of eight characters: negative, 0 or positive.
template <class Record>
int CompareDate(const Record& record, const std::array<char32_t, kDateWidth>& bound) {
    const std::size_t length =
        record.Size() > kDateAt ? std::min(record.Size() - kDateAt, kDateWidth) : 0;
    for (std::size_t i = 0; i < length; ++i) {
        const char32_t c = record.At(kDateAt + i);
        if (c != bound[i]) return c < bound[i] ? -1 : 1;
    }
    return length < kDateWidth ? -1 : 0;
}

template <class Record>
bool Matches(const Record& record, const Bounds& bounds) {
    for (std::size_t k = 0; k < kCodeFields.size(); ++k) {
        const std::size_t start = kCodeFields[k].start;
        const FieldKey key = kCodeFields[k].width == 1
                                 ? Key(record.At(start))
                                 : Key(record.At(start), record.At(start + 1));
        if (key < bounds.low[k] || key > bounds.high[k]) return false;
    }
    return CompareDate(record, bounds.dateLow) >= 0 && CompareDate(record, bounds.dateHigh) <= 0;
}

bool IsDashes(std::string_view field, std::size_t width) {
    return field.size() == width && field.find_first_not_of('-') == std::string_view::npos;
}

// beforeAdding() is called once a record is known to add to the sums,
// before it does; the record adds nothing when it returns false.
template <class Record, class BeforeAdding>
void CountIfCountable(const Record& record, TallyAccumulators& tally, BeforeAdding&& beforeAdding) {
    const std::string_view win = record.Field(11, 4);
    const std::string_view place = record.Field(15, 4);
    const std::string_view quinella = record.Field(19, 5);
    const std::string_view wide = record.Field(24, 5);
    const char32_t slotChar = record.At(kSlotCountAt);
    const int slots = slotChar >= U'0' && slotChar <= U'9' ? static_cast<int>(slotChar - U'0') : 0;

    if (IsDashes(win, 4) || IsDashes(place, 4)) return;
    if (slots != 0 && (IsDashes(quinella, 5) || IsDashes(wide, 5))) return;

    if (!beforeAdding()) return;
    tally.ExtractedRaces += 1;
    tally.PairTickets += slots;
    AddPayoutField(win, tally.WinPayout, tally.WinHits);
    AddPayoutField(place, tally.PlacePayout, tally.PlaceHits);
    AddPayoutField(quinella, tally.QuinellaPayout, tally.QuinellaHits);
    AddPayoutField(wide, tally.WidePayout, tally.WideHits);
}

template <class Record, class BeforeAdding>
void Tally(const Record& record, const Bounds& bounds, TallyAccumulators& tally,
           BeforeAdding&& beforeAdding) {
    if (Matches(record, bounds)) CountIfCountable(record, tally, beforeAdding);
}

// The fast path, for the usual record: at least 38 characters, the first 38
// of them ASCII, so character i is byte i. Same rules as above, with
// fixed-width reads the compiler can unroll.

std::uint64_t Load64(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, 8);
    return word;
}

bool IsFullAscii(std::string_view text) {
    if (text.size() < kRecordChars) return false;
    const char* p = text.data();
    // Five overlapping words cover bytes 0-37.
    const std::uint64_t bits =
        Load64(p) | Load64(p + 8) | Load64(p + 16) | Load64(p + 24) | Load64(p + kRecordChars - 8);
    return (bits & 0x8080808080808080ULL) == 0;
}

// "----" or "-----" at p, compared as whole words.
bool FourDashes(const char* p) {
    std::uint32_t word;
    std::memcpy(&word, p, 4);
    return word == 0x2D2D2D2Du;
}
bool FiveDashes(const char* p) { return FourDashes(p) && p[4] == '-'; }

// Condition K of the fast path: its field's bytes within its bounds, as
// one unsigned comparison (key - low <= high - low) and no branch, so that
// conditions that pass or fail at random cost no mispredictions.
template <std::size_t K>
bool CodeInBounds(const char* p, const Bounds& bounds) {
    constexpr std::size_t start = kCodeFields[K].start;
    const FieldKey first = static_cast<unsigned char>(p[start]);
    FieldKey key = first;
    if constexpr (kCodeFields[K].width == 2) {
        key = (first << 21) | static_cast<unsigned char>(p[start + 1]);
    }
    return key - bounds.low[K] <= bounds.high[K] - bounds.low[K];
}

template <std::size_t... K>
bool CodesInBounds(const char* p, const Bounds& bounds, std::index_sequence<K...>) {
    return (CodeInBounds<K>(p, bounds) & ...);
}

template <class BeforeAdding>
void TallyFullAscii(const char* p, const Bounds& bounds, TallyAccumulators& tally,
                    BeforeAdding&& beforeAdding) {
    if (!CodesInBounds(p, bounds, std::make_index_sequence<kCodeFields.size()>())) return;
    if (bounds.dateAscii) {
        const std::uint64_t date = BigEndian64(p + kDateAt);
        if (date - bounds.dateLowWord > bounds.dateHighWord - bounds.dateLowWord) return;
    } else {
        const GeneralRecord record(std::string_view(p, kRecordChars));
        if (CompareDate(record, bounds.dateLow) < 0 || CompareDate(record, bounds.dateHigh) > 0) {
            return;
        }
    }

    const char slotChar = p[kSlotCountAt];
    const int slots = slotChar >= '0' && slotChar <= '9' ? slotChar - '0' : 0;
    if (FourDashes(p + 11) || FourDashes(p + 15)) return;
    if (slots != 0 && (FiveDashes(p + 19) || FiveDashes(p + 24))) return;

    if (!beforeAdding()) return;
    tally.ExtractedRaces += 1;
    tally.PairTickets += slots;
    AddRightAlignedPayoutField<4>(p + 11, tally.WinPayout, tally.WinHits);
    AddRightAlignedPayoutField<4>(p + 15, tally.PlacePayout, tally.PlaceHits);
    AddRightAlignedPayoutField<5>(p + 19, tally.QuinellaPayout, tally.QuinellaHits);
    AddRightAlignedPayoutField<5>(p + 24, tally.WidePayout, tally.WideHits);
}

// The plain road, for plain records (IsPlainRecord) under bounds whose
// characters are all ASCII. Plain payout fields hold no dashes, so a
// matching record is countable, and their values are whole numbers of 0 or
// more: adding their total to an accumulator at once gives exactly what
// adding them one by one does. The other roads, whose values may be
// negative or fractional and are rounded on the running total, get the
// accumulators brought up to date before they add to them; the records
// they leave out, such as dashed-out races, need nothing.

// The bounds as the plain road compares them.
struct PlainBounds {
    explicit PlainBounds(const Bounds& bounds)
        : codeLow0(bounds.codeLow[0]),
          codeHigh0(bounds.codeHigh[0] | kCodeLaneTops[0]),
          codeLow1(bounds.codeLow[1]),
          codeHigh1(bounds.codeHigh[1] | kCodeLaneTops[1]),
          dateLow(bounds.dateLowWord),
          dateSpan(bounds.dateHighWord - bounds.dateLowWord) {}

    // The seven condition fields as lanes of two words (CodeWords), all
    // compared at once: every byte is below 0x80, so setting a lane's top
    // bit keeps a subtraction inside the lane, and that bit stays set
    // exactly when the lane did not go below zero; a borrow only ever moves
    // up, out of the lanes looked at. Then the date as one number.
    LOMI_ALWAYS_INLINE bool Match(const char* p) const {
        const std::uint64_t first = BigEndian64(p);
        const std::uint64_t second = BigEndian64(p + 3);
        const std::uint64_t in0 = ((first | kCodeLaneTops[0]) - codeLow0) & (codeHigh0 - first);
        const std::uint64_t in1 = ((second | kCodeLaneTops[1]) - codeLow1) & (codeHigh1 - second);
        const std::uint64_t date = BigEndian64(p + kDateAt);
        return ((in0 & kCodeLaneTops[0]) == kCodeLaneTops[0]) &
               ((in1 & kCodeLaneTops[1]) == kCodeLaneTops[1]) & (date - dateLow <= dateSpan);
    }

    std::uint64_t codeLow0, codeHigh0, codeLow1, codeHigh1, dateLow, dateSpan;
};

constexpr std::size_t kPayoutsAt = 11;

std::uint64_t Load16(const char* bytes) {
    std::uint16_t word;
    std::memcpy(&word, bytes, 2);
    return word;
}

// What the plain road counted lately: the few figures every counted record
// touches, a small object of its own that the compiler keeps in registers.
// Payout digits are summed per byte position in byte lanes, which hold
// those of 16 records (16 × 9 < 256).
struct PlainCounts {
    LOMI_ALWAYS_INLINE void Count(const char* p) {
        // Plain payout fields hold blanks and digits only, whose low four
        // bits are 0 and the digit: no field is turned into a number record
        // by record.
        constexpr std::uint64_t kLowNibbles = 0x0F0F0F0F0F0F0F0FULL;
        const std::uint64_t a = Load64(p + kPayoutsAt) & kLowNibbles;  // 単勝 0-3, 複勝 4-7
        const std::uint64_t b = Load64(p + kPayoutsAt + 8) & kLowNibbles;  // 連勝 0-4, ﾜｲﾄﾞ 5-7
        const std::uint64_t c = Load16(p + kPayoutsAt + 16) & 0x0F0F;  // ﾜｲﾄﾞ 8-9
        digitsA += a;
        digitsB += b;
        digitsC += c;
        // A field is a hit when any of its digits is not 0. The halves of a
        // are below 2^31, so adding 2^31 - 1 sets each top bit exactly then.
        winPlaceHits += ((a + 0x7FFFFFFF7FFFFFFFULL) & 0x8000000080000000ULL) >> 31;
        quinellaHits += (b & 0xFFFFFFFFFFULL) != 0;
        wideHits += ((b >> 40) | c) != 0;
        pairTickets += static_cast<std::uint64_t>(p[kSlotCountAt] - '0');  // a digit
        races += 1;
    }

    std::uint64_t races = 0;
    std::uint64_t pairTickets = 0;
    std::uint64_t digitsA = 0, digitsB = 0, digitsC = 0;
    std::uint64_t winPlaceHits = 0;  // win hits in the low half, place hits in the high
    std::uint64_t quinellaHits = 0, wideHits = 0;
};

// The plain road's sums beyond PlainCounts: digit sums in 16-bit lanes,
// which hold those of 4096 records (4096 × 9 < 65536), then the sums of the
// fields. Touched once in 16 records.
class PlainSums {
public:
    // Takes the byte lanes of counts, which then start again from 0.
    void Spread(PlainCounts& counts) {
        constexpr std::uint64_t kEven = 0x00FF00FF00FF00FFULL;
        evenA_ += counts.digitsA & kEven;
        oddA_ += (counts.digitsA >> 8) & kEven;
        evenB_ += counts.digitsB & kEven;
        oddB_ += (counts.digitsB >> 8) & kEven;
        tensC_ += counts.digitsC & 0xFF;
        onesC_ += counts.digitsC >> 8;
        counts.digitsA = counts.digitsB = counts.digitsC = 0;
        if (++spreads_ == 4096 / 16) Total();
    }

    // Everything counted so far into the accumulators; counts and sums
    // start again from 0.
    void MoveInto(PlainCounts& counts, TallyAccumulators& tally) {
        if (counts.races == 0) return;
        Spread(counts);
        Total();
        const auto whole = [](std::uint64_t v) { return static_cast<std::int64_t>(v); };
        tally.ExtractedRaces += whole(counts.races);
        tally.PairTickets += whole(counts.pairTickets);
        tally.WinPayout = SaturatingAdd(tally.WinPayout, whole(win_) * 10);
        tally.PlacePayout = SaturatingAdd(tally.PlacePayout, whole(place_) * 10);
        tally.QuinellaPayout = SaturatingAdd(tally.QuinellaPayout, whole(quinella_) * 10);
        tally.WidePayout = SaturatingAdd(tally.WidePayout, whole(wide_) * 10);
        tally.WinHits += whole(counts.winPlaceHits & 0xFFFFFFFF);
        tally.PlaceHits += whole(counts.winPlaceHits >> 32);
        tally.QuinellaHits += whole(counts.quinellaHits);
        tally.WideHits += whole(counts.wideHits);
        counts = {};
        *this = {};
    }

private:
    // The digit sums of each byte position, weighted by its place, into the
    // sums of the fields.
    void Total() {
        const auto lane = [](std::uint64_t even, std::uint64_t odd, int byte) {
            return ((byte % 2 == 0 ? even : odd) >> (16 * (byte / 2))) & 0xFFFF;
        };
        std::uint64_t digits[10];  // payout bytes 0-7, then 8-9 of 連勝 and ﾜｲﾄﾞ
        for (int byte = 0; byte < 8; ++byte) digits[byte] = lane(evenA_, oddA_, byte);
        win_ += digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3];
        place_ += digits[4] * 1000 + digits[5] * 100 + digits[6] * 10 + digits[7];
        for (int byte = 0; byte < 8; ++byte) digits[byte] = lane(evenB_, oddB_, byte);
        digits[8] = tensC_;
        digits[9] = onesC_;
        quinella_ +=
            digits[0] * 10000 + digits[1] * 1000 + digits[2] * 100 + digits[3] * 10 + digits[4];
        wide_ +=
            digits[5] * 10000 + digits[6] * 1000 + digits[7] * 100 + digits[8] * 10 + digits[9];
        evenA_ = oddA_ = evenB_ = oddB_ = tensC_ = onesC_ = 0;
        spreads_ = 0;
    }

    std::uint64_t evenA_ = 0, oddA_ = 0, evenB_ = 0, oddB_ = 0, tensC_ = 0, onesC_ = 0;
    int spreads_ = 0;
    std::uint64_t win_ = 0, place_ = 0, quinella_ = 0, wide_ = 0;
};

// PlainSums's steps with the counts passed by value and returned, so that
// the counts never leave the registers of the loop.
LOMI_NOINLINE PlainCounts SpreadCounts(PlainSums& sums, PlainCounts counts) {
    sums.Spread(counts);
    return counts;
}
LOMI_NOINLINE PlainCounts MoveCountsInto(PlainSums& sums, PlainCounts counts,
                                         TallyAccumulators& tally) {
    sums.MoveInto(counts, tally);
    return counts;
}
inline void Spread(PlainSums& sums, PlainCounts& counts) { counts = SpreadCounts(sums, counts); }
inline void MoveInto(PlainSums& sums, PlainCounts& counts, TallyAccumulators& tally) {
    counts = MoveCountsInto(sums, counts, tally);
}

// Any record the plain road does not take.
template <class BeforeAdding>
void TallyOther(std::string_view text, const Bounds& bounds, TallyAccumulators& tally,
                BeforeAdding&& beforeAdding) {
    if (IsFullAscii(text)) {
        TallyFullAscii(text.data(), bounds, tally, beforeAdding);
    } else {
        Tally(GeneralRecord(text), bounds, tally, beforeAdding);
    }
}

// Whether such a record adds to the sums: most do not (dashed-out races,
// races that do not match), and those leave the plain road's sums alone.
LOMI_NOINLINE bool OtherRecordAdds(std::string_view text, const Bounds& bounds) {
    TallyAccumulators untouched;
    bool adds = false;
    TallyOther(text, bounds, untouched, [&] {
        adds = true;
        return false;
    });
    return adds;
}

LOMI_NOINLINE void AddOtherRecord(std::string_view text, const Bounds& bounds,
                                  TallyAccumulators& tally) {
    TallyOther(text, bounds, tally, [] { return true; });
}

}  // namespace

TallyAccumulators ExtractAndTally(const RecordStore& records, const RaceConditions& conditions) {
    const Bounds bounds = BuildBounds(conditions);
    TallyAccumulators tally;
    if (bounds.empty) return tally;
    const PlainBounds plainBounds(bounds);
    const bool plainRoad = bounds.codesAscii && bounds.dateAscii;
    PlainCounts counts;
    PlainSums sums;
    records.ForEach([&](std::string_view text, bool isPlain) LOMI_ALWAYS_INLINE_LAMBDA {
        if (isPlain && plainRoad) {
            if (!plainBounds.Match(text.data())) return;
            counts.Count(text.data());
            if (counts.races % 16 == 0) Spread(sums, counts);
        } else if (OtherRecordAdds(text, bounds)) {
            // The plain road's sums first, so that every value is added in
            // its place.
            MoveInto(sums, counts, tally);
            AddOtherRecord(text, bounds, tally);
        }
    });
    MoveInto(sums, counts, tally);
    return tally;
}

void ExtractAndTally(ProgramState& state, const RaceConditions& conditions) {
    state.Tally = ExtractAndTally(state.Loaded.Records, conditions);
}

}  // namespace lomi
