#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "racing_calendar.h"
#include "ticket_file_text.h"

namespace lomi::samples {

struct CorpusSize {
    std::size_t files = 0;
    std::uintmax_t bytes = 0;
};

// Writes the ticket files of every pattern for the racing days from first
// to last into folder (created when missing). venues, edges (each pattern's
// percent) and generator as RacingDay takes them.
// Throws std::runtime_error when a file cannot be written.
CorpusSize WriteCorpus(const std::string& folder, const std::vector<std::string>& patterns,
                       const RaceDay& first, const RaceDay& last, std::uint64_t seed, int venues,
                       const std::map<std::string, int>& edges = {},
                       int generator = kLatestGenerator);

// The day before the same date `years` later: whole years from first.
RaceDay LastDayOfYears(const RaceDay& first, int years);

}  // namespace lomi::samples
