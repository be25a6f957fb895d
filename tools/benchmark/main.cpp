// lomi-benchmark: measures the existence test, the load, the tally, the
// breakdowns, the profit series and the report's output forms on
// generated corpora (one pattern of 1, 5, 10 and 20 years, and about a
// million records in about 30,000 files), and the ranking of all 490
// patterns over ten years, warm cache, and prints the medians as Markdown
// tables with the targets they are checked against.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "all_patterns.h"
#include "analysis_figures.h"
#include "corpora.h"
#include "data/cp932_table.h"
#include "machine_info.h"
#include "measure.h"

namespace {

using namespace lomi::bench;

struct Options {
    std::string work;
    int runs = 11;
    bool million = true;
    bool allPatterns = true;
    bool onlyAllPatterns = false;
    bool analysisOnly = false;
};

void PrintMachine(const char* when) {
    const auto load = LoadAverage();
    if (load) std::printf("load average %s: %.2f\n", when, *load);
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

int Run(const Options& options) {
    // The ranking first, so that its peak memory is its own.
    bool allPatternsMet = true;
    if (options.allPatterns && !options.analysisOnly) {
        lomi::GetCp932Table();
        PrintMachine("before the ranking");
        allPatternsMet = RunAllPatternBenchmark(options.work, std::min(options.runs, 3));
        if (options.onlyAllPatterns) return allPatternsMet ? 0 : 3;
    }

    std::vector<Corpus> scaling;
    for (int years : {1, 5, 10, 20}) scaling.push_back(PatternYears(options.work, years));
    const Corpus million = MillionRecords(options.work);
    if (options.analysisOnly) {
        EnsureCorpus(million);
        lomi::GetCp932Table();
        return PrintAnalysis(MeasureAnalysis(million, options.runs)) ? 0 : 3;
    }
    for (const Corpus& corpus : scaling) EnsureCorpus(corpus);
    if (options.million) EnsureCorpus(million);

    // The code page tables are built once per process, before any load.
    lomi::GetCp932Table();
    std::printf("lomi-benchmark: median of %d runs, warm cache, %u processors\n", options.runs,
                std::max(1u, std::thread::hardware_concurrency()));
    PrintMachine("at start");

    // Memory first, while no load has left freed memory behind to reuse.
    MillionFigures big;
    if (options.million) big = MeasureMillionMemory(million);

    const std::vector<ScalingFigures> rows = MeasureScaling(scaling, options.runs);
    PrintScaling(rows);

    bool allMet = true;
    const ScalingFigures* tenYears = nullptr;
    double fastest = 1e300, slowest = 0;
    for (const ScalingFigures& row : rows) {
        if (row.years == 10) tenYears = &row;
        fastest = std::min(fastest, row.NanosecondsPerRecord());
        slowest = std::max(slowest, row.NanosecondsPerRecord());
    }

    std::printf("\n| Target | Measured | |\n|---|---:|---|\n");
    if (tenYears != nullptr) {
        const bool loadMet = tenYears->existAndLoad.Median() < 50;
        const bool tallyMet = tenYears->tally.Median() < 1;
        std::printf("| 10 years: existence test + load + sort < 50 ms | %.1f ms | %s |\n",
                    tenYears->existAndLoad.Median(), Verdict(loadMet));
        std::printf("| 10 years: tally < 1 ms | %.3f ms | %s |\n", tenYears->tally.Median(),
                    Verdict(tallyMet));
        allMet = allMet && loadMet && tallyMet;
    }
    const bool flat = slowest <= fastest * 1.2;
    std::printf(
        "| load time per record, 1 to 20 years, within 20%% | %.0f to %.0f ns (%+.0f%%) | %s |\n",
        fastest, slowest, (slowest / fastest - 1) * 100, Verdict(flat));
    allMet = allMet && flat;

    if (options.million) {
        MeasureMillion(million, options.runs, big);
        const bool ratioMet = big.Ratio() <= 1.5;
        const bool tallyMet = big.tallyAll.Median() < 10 && big.tallyNarrow.Median() < 10;
        const bool memoryMet = big.residentPerRecord <= 64;
        std::printf("| 1M records: load within 1.5 x reading the bytes | %.2f x | %s |\n",
                    big.Ratio(), Verdict(ratioMet));
        std::printf("| 1M records: tally < 10 ms | %.1f / %.1f ms | %s |\n", big.tallyAll.Median(),
                    big.tallyNarrow.Median(), Verdict(tallyMet));
        std::printf("| memory per loaded record <= 64 bytes | %.1f bytes | %s |\n",
                    big.residentPerRecord, Verdict(memoryMet));
        allMet = allMet && ratioMet && tallyMet && memoryMet;
        PrintMillion(big);
        allMet = PrintAnalysis(MeasureAnalysis(million, options.runs)) && allMet;
    }
    PrintMachine("at end");
    return allMet && allPatternsMet ? 0 : 3;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Times the existence test, load and tally on generated ticket files."};
    Options options;
    options.work = (std::filesystem::temp_directory_path() / "lomi-benchmark").string();
    app.add_option(
        "--work", options.work,
        "Folder for the generated corpora, written on first use (default: " + options.work + ")");
    app.add_option("--runs", options.runs, "Timed runs of each measurement (default 11)")
        ->check(CLI::Range(1, 1000));
    app.add_flag("!--no-million", options.million,
                 "Leave out the corpus of a million records (30,000 files, 90 MB)");
    app.add_flag("!--no-all-patterns", options.allPatterns,
                 "Leave out the ranking of all 490 patterns (540,000 files, 1.4 GB)");
    app.add_flag("--all-patterns-only", options.onlyAllPatterns,
                 "Run only the ranking of all 490 patterns");
    app.add_flag("--analysis-only", options.analysisOnly,
                 "Only the breakdowns, the profit series and the output forms on the million");
    CLI11_PARSE(app, argc, argv);
    try {
        return Run(options);
    } catch (const std::exception& error) {
        std::cerr << "lomi-benchmark: " << error.what() << "\n";
        return 1;
    }
}
