#include "analysis_figures.h"

#include <chrono>
#include <cstdio>
#include <ostream>
#include <stdexcept>
#include <streambuf>

#include "analysis/breakdown.h"
#include "analysis/pattern_analysis.h"
#include "analysis/profit_series.h"
#include "cli/report_json.h"
#include "tally/race_filter.h"

namespace lomi::bench {
namespace {

// Standard output redirected to nowhere: takes every byte and counts it.
class CountingBuffer : public std::streambuf {
public:
    std::size_t bytes = 0;

protected:
    int overflow(int c) override {
        ++bytes;
        return c;
    }
    std::streamsize xsputn(const char*, std::streamsize n) override {
        bytes += static_cast<std::size_t>(n);
        return n;
    }
};

ProgramState Loaded(const Corpus& corpus) {
    ProgramState state;
    state.DataFolder = corpus.folder;
    state.PatternFileMask = corpus.mask;
    if (!CommitLoad(state, LoadPattern(corpus.folder, corpus.mask))) {
        throw std::runtime_error("cannot load " + corpus.folder);
    }
    return state;
}

// What lomi-report does after parsing its arguments, with or without --json.
std::size_t Report(const Corpus& corpus, bool json) {
    ProgramState state = Loaded(corpus);
    const TallyResult tally = TallyLoaded(state, {});
    CountingBuffer buffer;
    std::ostream out(&buffer);
    if (json) {
        WriteReportJson(out, state, DescribeCurrentPattern(state), tally);
    } else {
        out << tally.report;
    }
    return buffer.bytes;
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

}  // namespace

AnalysisFigures MeasureAnalysis(const Corpus& corpus, int runs) {
    AnalysisFigures figures;
    {
        ProgramState state = Loaded(corpus);
        const RecordStore& records = state.Loaded.Records;
        figures.records = records.Size();
        for (int run = 0; run < runs; ++run) {
            for (const BreakdownAxis axis : kBreakdownAxes) {
                const auto k = static_cast<std::size_t>(axis);
                figures.breakdown[k].Add(TimeMs(
                    [&] { figures.groups[k] = BuildBreakdown(records, {}, axis).groups.size(); }));
            }
            figures.tally.Add(TimeMs([&] { ExtractAndTally(records, {}); }));
            figures.series.Add(
                TimeMs([&] { figures.raceDays = BuildProfitSeries(records, {}).points.size(); }));
        }
        const TallyResult tally = TallyLoaded(state, {});
        for (int run = 0; run < runs; ++run) {
            CountingBuffer buffer;
            std::ostream out(&buffer);
            figures.jsonAlone.Add(TimeMs([&] { WriteReportJson(out, state, "", tally); }));
            figures.jsonBytes = buffer.bytes;
        }
    }
    // The two forms take turns, so both meet the same load of the machine.
    for (int run = 0; run < runs; ++run) {
        figures.reportText.Add(TimeMs([&] { Report(corpus, false); }));
        figures.reportJson.Add(TimeMs([&] { Report(corpus, true); }));
    }
    return figures;
}

bool PrintAnalysis(const AnalysisFigures& figures) {
    std::printf("\nBreakdowns and profit series, %zu records, no condition:\n\n", figures.records);
    std::printf("| Axis | Groups | Median | Fastest |\n|---|---:|---:|---:|\n");
    double slowest = 0;
    for (const BreakdownAxis axis : kBreakdownAxes) {
        const auto k = static_cast<std::size_t>(axis);
        std::printf("| %s (%s) | %zu | %.1f ms | %.1f ms |\n", AxisName(axis), AxisKey(axis),
                    figures.groups[k], figures.breakdown[k].Median(), figures.breakdown[k].Min());
        slowest = std::max(slowest, figures.breakdown[k].Median());
    }
    std::printf("| profit series | %zu days | %.1f ms | %.1f ms |\n", figures.raceDays,
                figures.series.Median(), figures.series.Min());
    std::printf("| the report's tally, for comparison | 1 | %.1f ms | %.1f ms |\n",
                figures.tally.Median(), figures.tally.Min());

    std::printf("\nReport output, load included:\n\n| Form | Median |\n|---|---:|\n");
    std::printf("| text report | %.0f ms |\n", figures.reportText.Median());
    std::printf("| --json (%.1f MB) | %.0f ms |\n", figures.jsonBytes / 1e6,
                figures.reportJson.Median());
    std::printf("| --json document alone | %.0f ms |\n", figures.jsonAlone.Median());

    const bool breakdownMet = slowest < 20;
    const bool seriesMet = figures.series.Median() < 20;
    const bool jsonMet = figures.JsonRatio() <= 1.5;
    std::printf("\n| Target | Measured | |\n|---|---:|---|\n");
    std::printf("| 1M records: breakdown by any axis < 20 ms | %.1f ms (slowest axis) | %s |\n",
                slowest, Verdict(breakdownMet));
    std::printf("| 1M records: profit series < 20 ms | %.1f ms | %s |\n", figures.series.Median(),
                Verdict(seriesMet));
    std::printf("| 1M records: --json within 1.5 x the text report | %.2f x | %s |\n",
                figures.JsonRatio(), Verdict(jsonMet));
    return breakdownMet && seriesMet && jsonMet;
}

}  // namespace lomi::bench
