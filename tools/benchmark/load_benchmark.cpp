// lomi-benchmark-load FOLDER [MASK] [RUNS]: loads the pattern's files RUNS
// times (default 5) and prints the best time, next to the best time of only
// listing the folder and reading the files' bytes, and the memory the
// records take. Generate a corpus with lomi-make-samples first.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "data/condition_lists.h"
#include "data/cp932_table.h"
#include "data/file_bytes.h"
#include "data/ticket_reader.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Lists the folder and reads every matching file, as the load does, without
// looking at the bytes.
double ReadOnly(const lomi::ProgramState& state, std::size_t& bytes) {
    const auto start = Clock::now();
    bytes = 0;
    const auto names = lomi::ListPatternFiles(state.DataFolder, state.PatternFileMask);
    std::string buffer;
    std::string reason;
    for (const std::string& name : names.value_or(std::vector<std::string>())) {
        bool opened = false;
        if (lomi::ReadFileBytes(lomi::JoinFolderAndName(state.DataFolder, name), buffer, opened,
                                reason)) {
            bytes += buffer.size();
        }
    }
    return Milliseconds(Clock::now() - start);
}

// Reads the files once, then times only turning their bytes into records
// and sorting the lists: the reader's own share of a load.
double ParseOnly(const lomi::ProgramState& state, int runs) {
    const auto names = lomi::ListPatternFiles(state.DataFolder, state.PatternFileMask);
    std::vector<std::string> files;
    std::string reason;
    for (const std::string& name : names.value_or(std::vector<std::string>())) {
        bool opened = false;
        files.emplace_back();
        lomi::ReadFileBytes(lomi::JoinFolderAndName(state.DataFolder, name), files.back(), opened,
                            reason);
    }
    double best = 1e300;
    for (int run = 0; run < runs; ++run) {
        // Processor time: on a busy machine the wall clock says more about
        // the other processes than about this code.
        const std::clock_t start = std::clock();
        lomi::LoadedData data;
        lomi::TicketReaderState reader;
        std::string message;
        for (const std::string& bytes : files) lomi::ReadTicketBytes(bytes, reader, data, message);
        lomi::SortConditionLists(data);
        best = std::min(best, 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: lomi-benchmark-load FOLDER [MASK] [RUNS]\n");
        return 2;
    }
    lomi::ProgramState state;
    state.DataFolder = argv[1];
    state.PatternFileMask = argc > 2 ? argv[2] : "P*Q1RN.txt";
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;

    // The code page tables are built once per process; time that apart.
    auto start = Clock::now();
    lomi::GetCp932Table();
    const double tables = Milliseconds(Clock::now() - start);

    double bestRead = 1e300;
    double bestLoad = 1e300;
    std::size_t bytes = 0;
    for (int run = 0; run < runs; ++run) {
        bestRead = std::min(bestRead, ReadOnly(state, bytes));
        start = Clock::now();
        const lomi::LoadResult result = lomi::LoadPatternFiles(state);
        bestLoad = std::min(bestLoad, Milliseconds(Clock::now() - start));
        if (!result.ok) {
            std::fprintf(stderr, "%s\n", result.message.c_str());
            return 1;
        }
    }
    const double parse = ParseOnly(state, runs);
    const auto& loaded = state.Loaded;
    const std::size_t records = loaded.Records.Size();
    std::printf("files %zu, bytes %zu, records %zu, dates %zu\n", loaded.Files.size(), bytes,
                records, loaded.DateList.size());
    std::printf("code page tables: %.1f ms (once per process)\n", tables);
    std::printf("list + read bytes only: %.1f ms (best of %d)\n", bestRead, runs);
    std::printf("LoadPatternFiles:      %.1f ms (best of %d), %.2f x reading\n", bestLoad, runs,
                bestLoad / bestRead);
    std::printf("records from bytes in memory: %.1f ms processor time (best of %d)\n", parse, runs);
    if (records > 0) {
        std::printf("record memory: %.1f bytes per record\n",
                    static_cast<double>(loaded.Records.CapacityBytes()) / records);
    }
    return 0;
}
