#pragma once

#include <array>
#include <cstddef>

#include "corpora.h"
#include "measure.h"

namespace lomi::bench {

// The breakdowns, the profit series and the report's output forms on the
// corpus of about a million records.
struct AnalysisFigures {
    std::size_t records = 0;
    std::array<Samples, 9> breakdown;  // by BreakdownAxis
    std::array<std::size_t, 9> groups{};
    Samples tally;  // the report's tally, for comparison
    Samples series;
    std::size_t raceDays = 0;
    Samples reportText;  // load, tally and the report text written
    Samples reportJson;  // load, tally and the --json document written
    Samples jsonAlone;   // the --json document alone
    std::size_t jsonBytes = 0;

    double JsonRatio() const { return reportJson.Median() / reportText.Median(); }
};

AnalysisFigures MeasureAnalysis(const Corpus& corpus, int runs);
// Prints the figures and their targets; whether every target was met.
bool PrintAnalysis(const AnalysisFigures& figures);

}  // namespace lomi::bench
