#pragma once

#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "data/ticket_reader.h"
#include "tally/pattern_names.h"

namespace lomi {

// The files of a data folder grouped by the pattern whose file mask they
// fit, as a ranking of every pattern reads them.

// The files of one pattern, from one listing of the folder.
struct PatternFiles {
    std::string code;  // the four pattern characters, upper case ("Q1RN")
    PatternSelections selections{};
    std::vector<std::string> files;  // in reading order
};

// The patterns that names fit, by code, each with its files in reading
// order; a name that fits no pattern's mask is left out.
std::vector<PatternFiles> GroupByPattern(const std::vector<std::string>& names);

// Lists folder and groups its files as GroupByPattern does, each pattern's
// files as listed (not yet in reading order). Nothing, and the reason, when
// the folder cannot be listed. A stop ends the listing at the next name;
// progress hears of the listing as (names found, 0). Without alongside
// (a run on one thread) the names are grouped on this thread as they come,
// in an order that repeats from run to run.
std::optional<std::vector<PatternFiles>> ListPatternFiles(const std::string& folder,
                                                          const LoadProgress& progress,
                                                          const std::stop_token& stop,
                                                          std::string& reason,
                                                          bool alongside = true);

}  // namespace lomi
