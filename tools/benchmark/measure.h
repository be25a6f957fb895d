#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "corpora.h"

namespace lomi::bench {

using Clock = std::chrono::steady_clock;

// How long f takes, in milliseconds.
template <typename F>
double TimeMs(F&& f) {
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Times of repeated runs of one measurement, in milliseconds.
class Samples {
public:
    void Add(double ms) { values_.push_back(ms); }
    double Median() const;
    double Min() const;

private:
    std::vector<double> values_;
};

struct ScalingFigures {
    int years = 0;
    std::size_t files = 0;
    std::size_t records = 0;
    Samples exist;         // PatternFilesMissing
    Samples load;          // ReadPatternFiles, lists sorted
    Samples existAndLoad;  // both, per run
    Samples read;          // list the folder and read every file's bytes
    Samples tally;         // ExtractAndTally with no condition and the report text
    double storeBytesPerRecord = 0;

    double NanosecondsPerRecord() const { return load.Median() * 1e6 / records; }
};

struct MillionFigures {
    std::size_t files = 0;
    std::size_t records = 0;
    std::size_t bytes = 0;
    double residentPerRecord = 0;    // growth of resident memory by the load
    double storeBytesPerRecord = 0;  // what the loaded data holds
    Samples read;                    // list the folder and read every file's bytes
    Samples load;                    // ReadPatternFiles
    Samples parse;                   // records from bytes already in memory
    Samples tallyAll;                // no condition
    Samples tallyNarrow;             // venue, race, runners or more, surface
    long long countedAll = 0;
    long long countedNarrow = 0;

    double Ratio() const { return load.Median() / read.Median(); }
};

// The spans of years, their runs interleaved.
std::vector<ScalingFigures> MeasureScaling(const std::vector<Corpus>& corpora, int runs);
void PrintScaling(const std::vector<ScalingFigures>& rows);

// The first load of the process: resident memory before and after.
MillionFigures MeasureMillionMemory(const Corpus& corpus);
// Reading against loading, and the tallies.
void MeasureMillion(const Corpus& corpus, int runs, MillionFigures& figures);
void PrintMillion(const MillionFigures& figures);

}  // namespace lomi::bench
