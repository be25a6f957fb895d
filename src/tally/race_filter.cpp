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

template <class Record>
void CountIfCountable(const Record& record, TallyAccumulators& tally) {
    const std::string_view win = record.Field(11, 4);
    const std::string_view place = record.Field(15, 4);
    const std::string_view quinella = record.Field(19, 5);
    const std::string_view wide = record.Field(24, 5);
    const char32_t slotChar = record.At(kSlotCountAt);
    const int slots = slotChar >= U'0' && slotChar <= U'9' ? static_cast<int>(slotChar - U'0') : 0;

    if (IsDashes(win, 4) || IsDashes(place, 4)) return;
    if (slots != 0 && (IsDashes(quinella, 5) || IsDashes(wide, 5))) return;

    tally.ExtractedRaces += 1;
    tally.PairTickets += slots;
    AddPayoutField(win, tally.WinPayout, tally.WinHits);
    AddPayoutField(place, tally.PlacePayout, tally.PlaceHits);
    AddPayoutField(quinella, tally.QuinellaPayout, tally.QuinellaHits);
    AddPayoutField(wide, tally.WidePayout, tally.WideHits);
}

template <class Record>
void Tally(const Record& record, const Bounds& bounds, TallyAccumulators& tally) {
    if (Matches(record, bounds)) CountIfCountable(record, tally);
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

void TallyFullAscii(const char* p, const Bounds& bounds, TallyAccumulators& tally) {
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
// accumulators brought up to date (MoveInto) before they add to them.
// Bounds and sums are plain members, copied out of the Bounds, so that the
// compiler keeps them in registers.
class PlainTally {
public:
    explicit PlainTally(const Bounds& bounds)
        : codeLow0_(bounds.codeLow[0]),
          codeHigh0_(bounds.codeHigh[0] | kCodeLaneTops[0]),
          codeLow1_(bounds.codeLow[1]),
          codeHigh1_(bounds.codeHigh[1] | kCodeLaneTops[1]),
          dateLow_(bounds.dateLowWord),
          dateSpan_(bounds.dateHighWord - bounds.dateLowWord) {}

    LOMI_ALWAYS_INLINE void Count(const char* p) {
        // The seven condition fields as lanes of two words (CodeWords), all
        // compared at once: every byte is below 0x80, so setting a lane's
        // top bit keeps a subtraction inside the lane, and that bit stays
        // set exactly when the lane did not go below zero; a borrow only
        // ever moves up, out of the lanes looked at.
        const std::uint64_t first = BigEndian64(p);
        const std::uint64_t second = BigEndian64(p + 3);
        const std::uint64_t in0 = ((first | kCodeLaneTops[0]) - codeLow0_) & (codeHigh0_ - first);
        const std::uint64_t in1 = ((second | kCodeLaneTops[1]) - codeLow1_) & (codeHigh1_ - second);
        const std::uint64_t date = BigEndian64(p + kDateAt);
        if (((in0 & kCodeLaneTops[0]) != kCodeLaneTops[0]) |
            ((in1 & kCodeLaneTops[1]) != kCodeLaneTops[1]) | (date - dateLow_ > dateSpan_)) {
            return;
        }
        const PlainPayouts v = ReadPlainPayouts(p + 11);
        pairTickets_ += static_cast<std::uint64_t>(p[kSlotCountAt] - '0');  // a digit
        winPlace_ += v.winPlace;
        quinellaWide_ += v.quinellaWide;
        winPlaceHits_ += NonZeroHalves(v.winPlace);
        quinellaWideHits_ += NonZeroHalves(v.quinellaWide);
        // A half holds up to 2^32 - 1: 32768 values below 100000 fit.
        if (++races_ % 32768 == 0) Widen();
    }

    void MoveInto(TallyAccumulators& tally) {
        Widen();
        const auto whole = [](std::uint64_t v) { return static_cast<std::int64_t>(v); };
        tally.ExtractedRaces += whole(races_);
        tally.PairTickets += whole(pairTickets_);
        tally.WinPayout = SaturatingAdd(tally.WinPayout, whole(win_) * 10);
        tally.PlacePayout = SaturatingAdd(tally.PlacePayout, whole(place_) * 10);
        tally.QuinellaPayout = SaturatingAdd(tally.QuinellaPayout, whole(quinella_) * 10);
        tally.WidePayout = SaturatingAdd(tally.WidePayout, whole(wide_) * 10);
        tally.WinHits += whole(winHits_);
        tally.PlaceHits += whole(placeHits_);
        tally.QuinellaHits += whole(quinellaHits_);
        tally.WideHits += whole(wideHits_);
        races_ = pairTickets_ = win_ = place_ = quinella_ = wide_ = 0;
        winHits_ = placeHits_ = quinellaHits_ = wideHits_ = 0;
    }

private:
    // Moves the paired sums into the wide ones.
    void Widen() {
        win_ += winPlace_ & 0xFFFFFFFF;
        place_ += winPlace_ >> 32;
        quinella_ += quinellaWide_ & 0xFFFFFFFF;
        wide_ += quinellaWide_ >> 32;
        winHits_ += winPlaceHits_ & 0xFFFFFFFF;
        placeHits_ += winPlaceHits_ >> 32;
        quinellaHits_ += quinellaWideHits_ & 0xFFFFFFFF;
        wideHits_ += quinellaWideHits_ >> 32;
        winPlace_ = quinellaWide_ = winPlaceHits_ = quinellaWideHits_ = 0;
    }

private:
    const std::uint64_t codeLow0_, codeHigh0_, codeLow1_, codeHigh1_;
    const std::uint64_t dateLow_, dateSpan_;
    std::uint64_t races_ = 0, pairTickets_ = 0;
    // Two sums to a word, as ReadPlainPayouts gives the values, and two hit
    // counts to a word, until Widen moves them into the wide sums.
    std::uint64_t winPlace_ = 0, quinellaWide_ = 0;
    std::uint64_t winPlaceHits_ = 0, quinellaWideHits_ = 0;
    std::uint64_t win_ = 0, place_ = 0, quinella_ = 0, wide_ = 0;
    std::uint64_t winHits_ = 0, placeHits_ = 0, quinellaHits_ = 0, wideHits_ = 0;
};

// Any record the plain road does not take.
LOMI_NOINLINE void TallyOther(std::string_view text, const Bounds& bounds,
                              TallyAccumulators& tally) {
    if (IsFullAscii(text)) {
        TallyFullAscii(text.data(), bounds, tally);
    } else {
        Tally(GeneralRecord(text), bounds, tally);
    }
}

}  // namespace

TallyAccumulators ExtractAndTally(const RecordStore& records, const RaceConditions& conditions) {
    const Bounds bounds = BuildBounds(conditions);
    TallyAccumulators tally;
    if (bounds.empty) return tally;
    const bool plainBounds = bounds.codesAscii && bounds.dateAscii;
    PlainTally plain(bounds);
    records.ForEach([&](std::string_view text, bool isPlain) LOMI_ALWAYS_INLINE_LAMBDA {
        if (isPlain && plainBounds) {
            plain.Count(text.data());
        } else {
            plain.MoveInto(tally);
            TallyOther(text, bounds, tally);
        }
    });
    plain.MoveInto(tally);
    return tally;
}

void ExtractAndTally(ProgramState& state, const RaceConditions& conditions) {
    state.Tally = ExtractAndTally(state.Loaded.Records, conditions);
}

}  // namespace lomi
