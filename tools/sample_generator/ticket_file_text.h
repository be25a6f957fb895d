#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "racing_calendar.h"

namespace lomi::samples {

// Whether text is a pattern code: an index letter (T F R Z W P Q), a rank
// digit 1-5, an index letter and a bet style (N wheel, B box).
bool IsPatternCode(const std::string& code);

// The file name of a pattern's tickets of one day: P, the date, the code, .txt.
std::string TicketFileName(const RaceDay& day, const std::string& pattern);

// The generators: the earlier one draws every pattern's tickets and payouts
// on their own (the bundled samples/ folder comes from it); the latest runs
// each race once and reads every pattern's line from it.
inline constexpr int kEarlierGenerator = 1;
inline constexpr int kLatestGenerator = 2;

// The races of one racing day, run once, from which each pattern's ticket
// file of the day is written: a header line with the date, and one data
// line per race of the day's venues (venues fixed by 2 or 3, or chosen by
// the seed when 0). The races themselves (venue, runners, distance, ...)
// depend only on the seed and the day, so every pattern sees the same
// races. edge raises the pattern's payouts by that percent (a pattern that
// beats the market): every payout with the earlier generator, the 連勝 and
// ﾜｲﾄﾞ payouts with the latest. Throws std::invalid_argument for an
// unknown generator.
class RacingDay {
public:
    RacingDay(const RaceDay& day, std::uint64_t seed, int venues, int generator = kLatestGenerator);
    ~RacingDay();
    RacingDay(RacingDay&&) noexcept;

    // The code page 932 bytes of the pattern's ticket file of the day.
    std::string TicketFileBytes(const std::string& pattern, int edge = 0) const;

private:
    struct Races;
    std::unique_ptr<Races> races_;
};

// One pattern's file of one day, as RacingDay writes it.
std::string TicketFileBytes(const RaceDay& day, const std::string& pattern, std::uint64_t seed,
                            int venues, int edge = 0, int generator = kLatestGenerator);

}  // namespace lomi::samples
