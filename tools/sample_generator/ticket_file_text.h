#pragma once

#include <cstdint>
#include <string>

#include "racing_calendar.h"

namespace lomi::samples {

// Whether text is a pattern code: an index letter (T F R Z W P Q), a rank
// digit 1-5, an index letter and a bet style (N wheel, B box).
bool IsPatternCode(const std::string& code);

// The file name of a pattern's tickets of one day: P, the date, the code, .txt.
std::string TicketFileName(const RaceDay& day, const std::string& pattern);

// The code page 932 bytes of a pattern's ticket file for one racing day:
// a header line with the date, and one data line per race of the day's
// venues (venues fixed by 2 or 3, or chosen by the seed when 0). The races
// themselves (venue, runners, distance, ...) depend only on the seed and
// the day, so every pattern sees the same races; the tickets and payouts
// depend on the pattern too. edge raises every payout by that percent
// (a pattern that beats the market), leaving everything else as it is.
std::string TicketFileBytes(const RaceDay& day, const std::string& pattern, std::uint64_t seed,
                            int venues, int edge = 0);

}  // namespace lomi::samples
