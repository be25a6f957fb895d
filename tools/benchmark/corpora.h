#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace lomi::bench {

// A generated data folder and the mask that loads all of it.
struct Corpus {
    std::string name;  // subfolder of the work folder
    std::vector<std::string> patterns;
    int years = 0;  // whole years from 1 January 2001
    std::string folder;
    std::string mask;
};

// One pattern (Q1RN) over the given number of years.
Corpus PatternYears(const std::string& work, int years);

// About a million records in about 30,000 files: fifteen patterns of twenty
// years, loaded all at once with the mask P*.txt.
Corpus MillionRecords(const std::string& work);

// Every pattern (7 axis indexes × 5 ranks × 7 partner indexes × 2 bet
// styles = 490) over ten years: about 540,000 files, 1.4 GB.
Corpus AllPatterns(const std::string& work);

// Writes the corpus's files unless its folder already holds exactly them (a
// stamp file records what was written). A folder without a stamp that is
// not empty is never touched: throws std::runtime_error instead.
// Returns whether it wrote them.
bool EnsureCorpus(const Corpus& corpus);

}  // namespace lomi::bench
