#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "data/force_inline.h"
#include "data/program_state.h"
#include "data/record_layout.h"
#include "tally/bet_type.h"
#include "tally/payout_fields.h"
#include "tally/race_conditions.h"
#include "tally/saturating.h"

namespace lomi {

// What one counted race adds to a tally. Left unset until a record counts.
struct RaceOutcome {
    int slotCount;  // the filled-slot count: 連勝 and ﾜｲﾄﾞ tickets bought
    // Whether all four payout fields are whole numbers (units), as in
    // nearly every record; otherwise values holds all four.
    bool whole;
    std::array<std::int64_t, 4> units;  // in units of 10 yen
    std::array<double, 4> values;
    std::string_view date;  // the record's date characters (at most eight)

    // The payout field k as its reading gives it.
    PayoutValue Payout(std::size_t k) const {
        return whole ? PayoutValue{true, units[k], 0} : PayoutValue{false, 0, values[k]};
    }
};

// The rules of the race filter, once for every consumer: whether a record
// matches the conditions and is countable, and what it adds. Plain records
// (IsPlainRecord) under conditions whose texts are ASCII take a fast path
// of packed comparisons; every other record the general road, character
// by character. Both apply the same rules; tests hold them to a plain model.
class RaceFilter {
public:
    explicit RaceFilter(const RaceConditions& conditions);

    // Whether no record can match (a lower bound above its upper one).
    bool MatchesNothing() const { return empty_; }

    // True when the record counts; out then holds what it adds.
    LOMI_ALWAYS_INLINE bool Evaluate(std::string_view text, bool plain, RaceOutcome& out) const {
        if (!(plain && plainRoad_)) return EvaluateGeneral(text, out);
        const char* p = text.data();
        if (!MatchesPlain(p)) return false;
        const char* payouts = p + record::kPayoutsAt;
        out.slotCount = p[record::kSlotCountAt] - '0';
        out.whole = true;
        out.units[0] = RightAlignedDigits<4>(payouts);
        out.units[1] = RightAlignedDigits<4>(payouts + 4);
        out.units[2] = RightAlignedDigits<5>(payouts + 8);
        out.units[3] = RightAlignedDigits<5>(payouts + 13);
        out.date = std::string_view(p + record::kDate.start, record::kDate.width);
        return true;
    }

    // Whether plain records take the fast path under these conditions (all
    // bound texts ASCII, and some record can match).
    bool PlainRoad() const { return plainRoad_; }

    // The fast path: whether a plain record at p counts. A plain record is
    // 38 ASCII bytes whose payout fields are blanks then digits, so it is
    // countable whenever it matches. Only when PlainRoad().
    LOMI_ALWAYS_INLINE bool MatchesPlain(const char* p) const {
        // The seven condition fields as lanes of two words (bytes 1-8 and
        // 4-11 in order), all compared at once: every byte is below 0x80,
        // so setting a lane's top bit keeps a subtraction inside the lane,
        // and that bit stays set exactly when the lane did not go below
        // zero. Then the date as one number.
        const std::uint64_t first = LoadOrderedWord(p);
        const std::uint64_t second = LoadOrderedWord(p + 3);
        const std::uint64_t in0 = ((first | kLaneTops0) - codeLow0_) & (codeHigh0_ - first);
        const std::uint64_t in1 = ((second | kLaneTops1) - codeLow1_) & (codeHigh1_ - second);
        const std::uint64_t date = LoadOrderedWord(p + record::kDate.start);
        return ((in0 & kLaneTops0) == kLaneTops0) & ((in1 & kLaneTops1) == kLaneTops1) &
               (date - dateLow_ <= dateSpan_);
    }

private:
    bool EvaluateGeneral(std::string_view text, RaceOutcome& out) const;
    template <class Record>
    bool MatchesGeneral(const Record& record) const;

    // Lanes of the two condition words: 16-bit lanes for the two-character
    // fields at 1, 3 and 5, 8-bit lanes for 7 and 8; then 9 and 10-11.
    static constexpr std::uint64_t kLaneTops0 = 0x8000800080008080ULL;
    static constexpr std::uint64_t kLaneTops1 = 0x808000ULL;

    // Bounds as keys that order as the fitted texts do (code points fit in
    // 21 bits), for the general road.
    std::array<std::uint64_t, 7> low_{};
    std::array<std::uint64_t, 7> high_{};
    std::u32string generalDateLow_;
    std::u32string generalDateHigh_;
    bool empty_ = false;

    // The same bounds packed for the fast path, when every bound is ASCII.
    bool plainRoad_ = false;
    std::uint64_t codeLow0_ = 0, codeHigh0_ = 0, codeLow1_ = 0, codeHigh1_ = 0;
    std::uint64_t dateLow_ = 0, dateSpan_ = 0;
};

// The tickets a counted race buys of bet type k (単勝, 複勝, 連勝, ﾜｲﾄﾞ in
// that order): one 単勝 and one 複勝, one 連勝 and one ﾜｲﾄﾞ for each filled
// slot. AddOutcome counts them, and every stake is these times kTicketYen.
LOMI_ALWAYS_INLINE int RaceTickets(const RaceOutcome& race, std::size_t k) {
    return k < 2 ? 1 : race.slotCount;
}

// Adds a counted race to the ten sums, in the order the rules give.
LOMI_ALWAYS_INLINE void AddOutcome(TallyAccumulators& tally, const RaceOutcome& race) {
    tally.ExtractedRaces += RaceTickets(race, 0);
    tally.PairTickets += RaceTickets(race, 2);
    std::int64_t* const payouts[4] = {&tally.WinPayout, &tally.PlacePayout, &tally.QuinellaPayout,
                                      &tally.WidePayout};
    std::int64_t* const hits[4] = {&tally.WinHits, &tally.PlaceHits, &tally.QuinellaHits,
                                   &tally.WideHits};
    if (race.whole) {
        for (std::size_t k = 0; k < 4; ++k) {
            *payouts[k] = SaturatingAdd(*payouts[k], race.units[k] * 10);
            *hits[k] += race.units[k] > 0;
        }
    } else {
        for (std::size_t k = 0; k < 4; ++k) AddPayoutValue(race.values[k], *payouts[k], *hits[k]);
    }
}

// The tally of the records of a store under the conditions.
TallyAccumulators ExtractAndTally(const RecordStore& records, const RaceConditions& conditions);

// The same into state.Tally (the old sums are dropped).
void ExtractAndTally(ProgramState& state, const RaceConditions& conditions);

}  // namespace lomi
