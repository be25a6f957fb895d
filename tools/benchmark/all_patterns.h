#pragma once

#include <string>

namespace lomi::bench {

// Ranks every pattern of a corpus of all 490 patterns over ten years (written
// into work on first use): the ranking's time against reading the same bytes
// on one thread, its peak resident memory and how soon a stop ends it.
// Prints the figures and the targets; returns whether all were met.
bool RunAllPatternBenchmark(const std::string& work, int runs);

}  // namespace lomi::bench
