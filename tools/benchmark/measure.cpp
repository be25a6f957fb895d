#include "measure.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>

#include "data/file_bytes.h"
#include "data/ticket_reader.h"
#include "machine_info.h"
#include "tally/race_filter.h"
#include "tally/tally_report.h"

namespace lomi::bench {
namespace {

ProgramState StateFor(const Corpus& corpus) {
    ProgramState state;
    state.DataFolder = corpus.folder;
    state.PatternFileMask = corpus.mask;
    return state;
}

void Load(ProgramState& state) {
    const LoadResult result =
        ReadPatternFiles(state.DataFolder, state.PatternFileMask, state.Loaded);
    if (!result.ok) throw std::runtime_error(result.message);
}

// The tally the program runs after a load and after every change of the
// conditions: the sums and the report text.
std::string Tally(ProgramState& state, const RaceConditions& conditions) {
    ExtractAndTally(state, conditions);
    return BuildTallyReport(state.RecordCount(), state.Tally);
}

std::size_t StoreBytes(const LoadedData& data) {
    std::size_t bytes = data.Records.CapacityBytes();
    for (const auto* list : {&data.VenueList, &data.RaceList, &data.HeadcountList, &data.AgeList,
                             &data.ClassList, &data.SurfaceList, &data.DistanceList}) {
        bytes += list->capacity() * sizeof(std::int16_t);
    }
    for (const std::string& date : data.DateList) bytes += sizeof date + date.capacity();
    return bytes;
}

// The floor no loader can beat: the listing and every file's bytes read
// into memory the way the load reads them, nothing looked at.
std::size_t ReadOnly(const ProgramState& state, std::string& buffer) {
    const auto names = ListPatternFiles(state.DataFolder, state.PatternFileMask);
    if (!names) throw std::runtime_error("cannot list " + state.DataFolder);
    std::size_t bytes = 0;
    std::string reason;
    for (const std::string& name : *names) {
        bool opened = false;
        if (!ReadFileBytes(JoinFolderAndName(state.DataFolder, name), buffer, opened, reason)) {
            throw std::runtime_error(name + ": " + reason);
        }
        bytes += buffer.size();
    }
    return bytes;
}

// A narrow condition: the eleventh race at 東京 on turf with 16 runners or more.
RaceConditions NarrowConditions() {
    RaceConditions conditions;
    conditions.venue = 5;
    conditions.race = 11;
    conditions.runners = 16;
    conditions.runnersOrMore = 1;
    conditions.surface = 1;
    return conditions;
}

}  // namespace

double Samples::Median() const {
    if (values_.empty()) return 0;
    std::vector<double> sorted = values_;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t n = sorted.size();
    return n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

double Samples::Min() const {
    return values_.empty() ? 0 : *std::min_element(values_.begin(), values_.end());
}

std::vector<ScalingFigures> MeasureScaling(const std::vector<Corpus>& corpora, int runs) {
    std::vector<ScalingFigures> rows(corpora.size());
    std::vector<ProgramState> states;
    for (std::size_t k = 0; k < corpora.size(); ++k) {
        rows[k].years = corpora[k].years;
        states.push_back(StateFor(corpora[k]));
        // Warms the file cache and the allocator.
        Load(states[k]);
        Tally(states[k], {});
    }
    std::string buffer;
    // The spans take turns run by run, so that a busy spell of the machine
    // falls on all of them alike.
    for (int run = 0; run < runs; ++run) {
        for (std::size_t k = 0; k < corpora.size(); ++k) {
            ScalingFigures& figures = rows[k];
            ProgramState& state = states[k];
            figures.read.Add(TimeMs([&] { ReadOnly(state, buffer); }));
            bool missing = true;
            const double exist = TimeMs(
                [&] { missing = PatternFilesMissing(state.DataFolder, state.PatternFileMask); });
            if (missing) throw std::runtime_error("no files in " + corpora[k].folder);
            const double load = TimeMs([&] { Load(state); });
            figures.exist.Add(exist);
            figures.load.Add(load);
            figures.existAndLoad.Add(exist + load);
            figures.tally.Add(TimeMs([&] { Tally(state, {}); }));
        }
    }
    for (std::size_t k = 0; k < corpora.size(); ++k) {
        rows[k].files = states[k].Loaded.Files.size();
        rows[k].records = states[k].Loaded.Records.Size();
        rows[k].storeBytesPerRecord = static_cast<double>(StoreBytes(states[k].Loaded)) /
                                      static_cast<double>(rows[k].records);
    }
    return rows;
}

void PrintScaling(const std::vector<ScalingFigures>& rows) {
    std::printf(
        "\n| Years | Files | Records | Existence test | Load + sort | Both | Load per record "
        "| Reading alone | Load / reading | First tally | Store bytes per record |\n"
        "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const ScalingFigures& row : rows) {
        std::printf(
            "| %d | %zu | %zu | %.2f ms | %.1f ms | %.1f ms | %.0f ns | %.1f ms | %.2f x | %.3f ms "
            "| %.1f |\n",
            row.years, row.files, row.records, row.exist.Median(), row.load.Median(),
            row.existAndLoad.Median(), row.NanosecondsPerRecord(), row.read.Median(),
            row.load.Median() / row.read.Median(), row.tally.Median(), row.storeBytesPerRecord);
    }
}

MillionFigures MeasureMillionMemory(const Corpus& corpus) {
    MillionFigures figures;
    ProgramState state = StateFor(corpus);
    const auto before = ResidentBytes();
    Load(state);
    const auto after = ResidentBytes();
    figures.records = state.Loaded.Records.Size();
    figures.files = state.Loaded.Files.size();
    if (before && after && figures.records > 0) {
        figures.residentPerRecord = static_cast<double>(*after - std::min(*before, *after)) /
                                    static_cast<double>(figures.records);
    }
    figures.storeBytesPerRecord =
        static_cast<double>(StoreBytes(state.Loaded)) / static_cast<double>(figures.records);
    return figures;
}

void MeasureMillion(const Corpus& corpus, int runs, MillionFigures& figures) {
    ProgramState state = StateFor(corpus);
    std::string buffer;
    Load(state);
    ReadOnly(state, buffer);
    // Reading and loading take turns, so both meet the same load of the machine.
    for (int run = 0; run < runs; ++run) {
        figures.read.Add(TimeMs([&] { figures.bytes = ReadOnly(state, buffer); }));
        figures.load.Add(TimeMs([&] { Load(state); }));
    }

    // The reader's own share: the files' bytes already in memory.
    std::vector<std::string> files;
    {
        const auto names = ListPatternFiles(state.DataFolder, state.PatternFileMask);
        std::string reason;
        for (const std::string& name : names.value_or(std::vector<std::string>())) {
            bool opened = false;
            files.emplace_back();
            ReadFileBytes(JoinFolderAndName(state.DataFolder, name), files.back(), opened, reason);
        }
    }
    for (int run = 0; run < runs; ++run) {
        LoadedData data;
        TicketReaderState reader;
        std::string message;
        const double start = ProcessorMilliseconds();
        for (const std::string& bytes : files) ReadTicketBytes(bytes, reader, data, message);
        SortConditionLists(data);
        figures.parse.Add(ProcessorMilliseconds() - start);
    }

    const RaceConditions narrow = NarrowConditions();
    for (int run = 0; run < runs * 3; ++run) {
        figures.tallyAll.Add(TimeMs([&] { Tally(state, {}); }));
        figures.countedAll = state.Tally.ExtractedRaces;
        figures.tallyNarrow.Add(TimeMs([&] { Tally(state, narrow); }));
        figures.countedNarrow = state.Tally.ExtractedRaces;
    }
}

void PrintMillion(const MillionFigures& f) {
    std::printf("\n| %zu records, %zu files, %.1f MB | Median | Fastest |\n|---|---:|---:|\n",
                f.records, f.files, static_cast<double>(f.bytes) / 1e6);
    std::printf("| list the folder and read the bytes (floor) | %.0f ms | %.0f ms |\n",
                f.read.Median(), f.read.Min());
    std::printf("| ReadPatternFiles | %.0f ms | %.0f ms |\n", f.load.Median(), f.load.Min());
    std::printf("| load / reading | %.2f x | %.2f x |\n", f.Ratio(), f.load.Min() / f.read.Min());
    std::printf("| records from bytes in memory (processor time) | %.0f ms | %.0f ms |\n",
                f.parse.Median(), f.parse.Min());
    std::printf("| tally, no condition (%lld races counted) | %.2f ms | %.2f ms |\n", f.countedAll,
                f.tallyAll.Median(), f.tallyAll.Min());
    std::printf("| tally, narrow condition (%lld races counted) | %.2f ms | %.2f ms |\n",
                f.countedNarrow, f.tallyNarrow.Median(), f.tallyNarrow.Min());
    std::printf("| resident memory per record | %.1f bytes | |\n", f.residentPerRecord);
    std::printf("| loaded data per record | %.1f bytes | |\n", f.storeBytesPerRecord);
}

}  // namespace lomi::bench
