#include "all_patterns.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <stop_token>
#include <thread>
#include <vector>

#include "analysis/family_figures.h"
#include "analysis/overfitting.h"
#include "analysis/pattern_ranking.h"
#include "corpora.h"
#include "data/file_bytes.h"
#include "data/folder_listing.h"
#include "machine_info.h"
#include "measure.h"

namespace lomi::bench {
namespace {

double Since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Figures {
    double writeMs = 0;  // 0 when the corpus was there already
    std::size_t patterns = 0;
    std::size_t files = 0;
    std::size_t bytes = 0;
    Samples read;        // one thread: the listing and every file's bytes
    Samples rank;        // RankAllPatterns on every processor
    Samples rankOne;     // the same on one thread
    Samples rankShared;  // every processor, one table of open files (as the window runs it)
    Samples readCpu;     // processor time of the reading
    Samples rankCpu;     // processor time of the ranking, all threads
    double peakBytes = 0;
    Samples cancel;  // from the stop request to the run's return
    std::size_t cancelledAt = 0;
    Samples overfitting;  // EstimateOverfitting of 単勝 over the ranked patterns
    Samples overfittingCpu;
    Samples family;     // EstimateFamilyFigures of 連勝 (every pattern a row of its own)
    Samples familyWin;  // the same of 単勝 (patterns of one axis share their rows)
    std::size_t familyRows = 0, familyDays = 0, winRows = 0;
    std::size_t days = 0;  // race days kept, over all patterns
};

// The same listing and bytes the ranking reads, on one thread, nothing
// looked at: the floor of a single-threaded ranking.
std::size_t ReadAll(const std::string& folder, std::string& buffer, std::size_t& files) {
    // The corpus folder holds pattern files only.
    std::string reason;
    const auto names = ListPlainFiles(
        folder, [](std::string_view) { return true; }, reason);
    if (!names) throw std::runtime_error("cannot list " + folder + ": " + reason);
    std::size_t bytes = 0;
    files = 0;
    for (const std::string& name : *names) {
        bool opened = false;
        if (!ReadFileBytes(JoinFolderAndName(folder, name), buffer, opened, reason)) {
            throw std::runtime_error(name + ": " + reason);
        }
        bytes += buffer.size();
        ++files;
    }
    return bytes;
}

// As lomi-report ranks (each thread with its own table of open files), or
// as the window does (one shared table).
RankingResult Rank(const std::string& folder, unsigned threads = 0, bool ownFileTables = true) {
    RankingOptions options{{}, "", threads};
    options.ownFileTables = ownFileTables;
    RankingResult result = RankAllPatterns(folder, options);
    if (result.status != RankingStatus::Ranked) throw std::runtime_error(result.message);
    return result;
}

// A run stopped once a third of the files are done: how long until it returns.
double CancelLatency(const std::string& folder, std::size_t& doneAtStop) {
    std::stop_source stop;
    std::atomic<bool> stopped{false};
    Clock::time_point requested;
    std::atomic<std::size_t> doneThen{0};
    const auto progress = [&](std::size_t done, std::size_t total) {
        // (n, 0) comes while the folder is listed: the stop falls among the files.
        if (total != 0 && !stopped && done * 3 >= total) {
            stopped = true;
            doneThen = done;
            requested = Clock::now();
            stop.request_stop();
        }
    };
    const RankingResult result = RankAllPatterns(folder, {}, progress, stop.get_token());
    const double ms = Since(requested);
    if (result.status != RankingStatus::Cancelled) throw std::runtime_error("run not cancelled");
    doneAtStop = doneThen;
    return ms;
}

void Print(const Figures& f) {
    std::printf("\n| %zu patterns, %zu files, %.2f GB | Median | Fastest |\n|---|---:|---:|\n",
                f.patterns, f.files, static_cast<double>(f.bytes) / 1e9);
    if (f.writeMs > 0) {
        std::printf("| writing the corpus (sample generator) | %.1f s | |\n", f.writeMs / 1000);
    }
    std::printf("| list the folder and read the bytes, one thread | %.2f s | %.2f s |\n",
                f.read.Median() / 1000, f.read.Min() / 1000);
    std::printf("| RankAllPatterns, %u threads | %.2f s | %.2f s |\n",
                std::max(1u, std::thread::hardware_concurrency()), f.rank.Median() / 1000,
                f.rank.Min() / 1000);
    std::printf("| ranking / reading | %.2f x | %.2f x |\n", f.rank.Median() / f.read.Median(),
                f.rank.Min() / f.read.Min());
    std::printf("| RankAllPatterns, one thread | %.2f s | %.2f s |\n", f.rankOne.Median() / 1000,
                f.rankOne.Min() / 1000);
    std::printf("| RankAllPatterns, one shared file table (the window) | %.2f s | %.2f s |\n",
                f.rankShared.Median() / 1000, f.rankShared.Min() / 1000);
    std::printf("| processor time: reading / ranking (all threads) | %.2f / %.2f s | |\n",
                f.readCpu.Median() / 1000, f.rankCpu.Median() / 1000);
    std::printf("| peak resident memory of the ranking | %.0f MB | |\n", f.peakBytes / 1e6);
    std::printf("| stop request to return (%zu files done at the request) | %.1f ms | %.1f ms |\n",
                f.cancelledAt, f.cancel.Median(), f.cancel.Min());
    std::printf("| race-day sums kept: %zu days, %.1f MB | | |\n", f.days,
                static_cast<double>(f.days * sizeof(RaceDaySums)) / 1e6);
    std::printf(
        "| probability of overfitting (%zu patterns, 16 blocks, 12870 splits), one thread "
        "| %.1f ms | %.1f ms |\n",
        f.patterns, f.overfitting.Median(), f.overfitting.Min());
    std::printf("| the same, processor time | %.1f ms | %.1f ms |\n", f.overfittingCpu.Median(),
                f.overfittingCpu.Min());
    std::printf(
        "| bootstrap bound and shrinkage of 連勝 (%zu distinct rows, %zu race days, 999 "
        "replicates) | %.1f ms | %.1f ms |\n",
        f.familyRows, f.familyDays, f.family.Median(), f.family.Min());
    std::printf("| the same of 単勝 (%zu distinct rows) | %.1f ms | %.1f ms |\n", f.winRows,
                f.familyWin.Median(), f.familyWin.Min());
}

}  // namespace

bool RunAllPatternBenchmark(const std::string& work, int runs) {
    Figures f;
    const Corpus corpus = AllPatterns(work);
    const auto writeStart = Clock::now();
    if (EnsureCorpus(corpus)) f.writeMs = Since(writeStart);

    // Peak memory of a first ranking, the others' buffers not yet in use.
    ResetPeakResident();
    const RankingResult first = Rank(corpus.folder);
    const auto peak = PeakResidentBytes();
    f.peakBytes = peak ? static_cast<double>(*peak) : 0;
    f.patterns = first.patterns.size();
    for (const PatternRanking& p : first.patterns) f.days += p.earlier.days.size();
    std::vector<PatternRanking> ranked = first.patterns;

    std::string buffer;
    // Reading and ranking take turns, so both meet the same load of the machine.
    for (int run = 0; run < runs; ++run) {
        auto start = Clock::now();
        double cpu = ProcessorMilliseconds();
        f.bytes = ReadAll(corpus.folder, buffer, f.files);
        f.read.Add(Since(start));
        f.readCpu.Add(ProcessorMilliseconds() - cpu);
        start = Clock::now();
        cpu = ProcessorMilliseconds();
        Rank(corpus.folder);
        f.rank.Add(Since(start));
        f.rankCpu.Add(ProcessorMilliseconds() - cpu);
        start = Clock::now();
        Rank(corpus.folder, 1);
        f.rankOne.Add(Since(start));
        start = Clock::now();
        Rank(corpus.folder, 0, false);
        f.rankShared.Add(Since(start));
        f.cancel.Add(CancelLatency(corpus.folder, f.cancelledAt));
        start = Clock::now();
        cpu = ProcessorMilliseconds();
        const OverfittingEstimate estimate = EstimateOverfitting(first.patterns, BetType::Win, 0);
        f.overfitting.Add(Since(start));
        f.overfittingCpu.Add(ProcessorMilliseconds() - cpu);
        if (estimate.splits != 12870) throw std::runtime_error("not 12870 splits");
        start = Clock::now();
        const FamilyFigures family = EstimateFamilyFigures(ranked, BetType::Quinella, 0);
        f.family.Add(Since(start));
        f.familyRows = family.distinctRows;
        f.familyDays = family.days;
        start = Clock::now();
        f.winRows = EstimateFamilyFigures(ranked, BetType::Win, 0).distinctRows;
        f.familyWin.Add(Since(start));
    }
    Print(f);

    const double ratio = f.rank.Median() / f.read.Median();
    const bool timeMet = f.rank.Median() < 10000;
    const bool ratioMet = ratio <= 1.0;
    const bool memoryMet = f.peakBytes > 0 && f.peakBytes < 300e6;
    const bool cancelMet = f.cancel.Median() < 200;
    const bool familyMet = f.family.Median() < 500;
    // On one core: its processor time, which a machine shared with other
    // work does not stretch as it stretches the time on the clock.
    const bool overfittingMet = f.overfittingCpu.Median() < 100;
    const auto verdict = [](bool met) { return met ? "met" : "MISSED"; };
    std::printf("\n| Target | Measured | |\n|---|---:|---|\n");
    std::printf("| 490 patterns x 10 years ranked < 10 s | %.2f s | %s |\n", f.rank.Median() / 1000,
                verdict(timeMet));
    std::printf("| ranking <= 1.0 x reading the bytes on one thread | %.2f x | %s |\n", ratio,
                verdict(ratioMet));
    std::printf("| peak resident memory < 300 MB | %.0f MB | %s |\n", f.peakBytes / 1e6,
                verdict(memoryMet));
    std::printf("| stop to return < 200 ms | %.1f ms | %s |\n", f.cancel.Median(),
                verdict(cancelMet));
    std::printf("| bootstrap and shrinkage of one bet < 0.5 s | %.0f ms | %s |\n",
                f.family.Median(), verdict(familyMet));
    std::printf(
        "| probability of overfitting, 490 patterns, 16 blocks < 100 ms of one core | "
        "%.1f ms | %s |\n",
        f.overfittingCpu.Median(), verdict(overfittingMet));
    return timeMet && ratioMet && memoryMet && cancelMet && overfittingMet && familyMet;
}

}  // namespace lomi::bench
