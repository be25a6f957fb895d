#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "data/condition_lists.h"
#include "data/program_state.h"
#include "data/record_cache.h"

namespace lomi {

// The names of the regular files directly in folder that match mask ('*'
// for any run of characters, letters case-insensitive; hidden and system
// files and directories never match), sorted by upper-cased name. Nothing
// when the folder cannot be listed, with the reason in *reason when given.
// A stop ends the listing at the next name; the list is then cut short.
std::optional<std::vector<std::string>> ListPatternFiles(const std::string& folder,
                                                         const std::string& mask,
                                                         std::string* reason = nullptr,
                                                         const std::stop_token& stop = {});

// Sorts file names into the order a load reads them: by upper-cased name.
void SortInReadingOrder(std::vector<std::string>& names);

// folder, the platform separator, name. No second separator is added after
// a folder that already ends in one (a root folder such as / or C:\).
std::string JoinFolderAndName(const std::string& folder, const std::string& name);
// The same into path, reusing its storage.
void JoinFolderAndName(const std::string& folder, const std::string& name, std::string& path);

// The existence test before a load: true when no file of folder matches
// mask, or the folder cannot be opened (missing, not a folder, refused).
// False for a folder that opens but whose reading fails part way: the load
// then reports why.
bool PatternFilesMissing(const std::string& folder, const std::string& mask);

struct LoadResult {
    bool ok = true;
    bool cancelled = false;  // stopped on request; not a failure to report
    std::string file;        // the file (or folder) the load stopped at, when it failed
    std::string message;     // Japanese, one line, naming the file and the reason
};

// Reads every file of folder that matches mask, in the order of
// ListPatternFiles, into out (emptied first), and sorts the condition
// lists. On failure (a file that cannot be opened or read, a count that
// would overflow, the folder that cannot be listed or no longer holds a
// matching file, memory running out) the result names the file (or
// folder) and the reason, and out holds what was read so far. Never throws. progress, when
// given, is called with the number of files read so far and the number of
// files to read: once before the first file and after each file. A stop
// requested through stop ends the load before the next file, with
// cancelled set. With a record cache, the files it holds unchanged are not
// opened; the result is the same.
using LoadProgress = std::function<void(std::size_t done, std::size_t total)>;
LoadResult ReadPatternFiles(const std::string& folder, const std::string& mask, LoadedData& out,
                            const LoadProgress& progress = {}, std::stop_token stop = {},
                            const RecordCacheOptions& cache = {});

// ReadPatternFiles once the files are known: names (of files in folder, in
// reading order) read into out, with the same results, progress and stop.
// cacheKey names the pattern in the cache: its file mask.
LoadResult ReadListedFiles(const std::string& folder, const std::vector<std::string>& names,
                           LoadedData& out, const LoadProgress& progress = {},
                           std::stop_token stop = {}, const RecordCacheOptions& cache = {},
                           std::string_view cacheKey = {});

// Where a read puts the records it builds, one at a time in reading order.
class RecordSink {
public:
    virtual ~RecordSink() = default;
    // record lives only until the call returns.
    virtual void Add(std::string_view record) = 0;
};

// The sink of a load: every record appended to a store.
class StoreSink final : public RecordSink {
public:
    explicit StoreSink(RecordStore& store) : store_(store) {}
    void Add(std::string_view record) override { store_.Append(record); }

private:
    RecordStore& store_;
};

// ReadListedFiles for a single pass over the records: each goes to sink
// instead of out.Records, and out gets only the condition lists (Records
// and Files stay empty); the results are those of ReadListedFiles.
LoadResult StreamListedFiles(const std::string& folder, const std::vector<std::string>& names,
                             LoadedData& out, RecordSink& sink, const LoadProgress& progress = {},
                             std::stop_token stop = {}, const RecordCacheOptions& cache = {},
                             std::string_view cacheKey = {});

// What the reader carries through one load: the race date, which goes on
// from file to file, the index of the condition lists, and buffers reused
// for every line.
struct TicketReaderState {
    std::string currentDate;  // UTF-8, empty at the start of a load
    ConditionIndex index;     // of the LoadedData being filled
    std::size_t records = 0;  // records built so far
    std::size_t headers = 0;  // header lines read so far

    std::u32string text;  // the start of a header line, decoded
    std::string encoded;  // the same encoded again
    std::string record;   // the record being built
};

// One file's bytes into data, as the load reads every file: lines end at
// CR LF or a lone CR (a lone LF is a character of the line). A data line
// (one with a "|" character) becomes a record, a header line (no bar,
// "Kestrava" in it) sets the race date, other lines are skipped. Returns
// false with message set when a count would overflow; data then holds the
// records read so far. Exposed for the fuzzer and the benchmark.
bool ReadTicketBytes(std::string_view bytes, TicketReaderState& reader, LoadedData& data,
                     std::string& message);
// The same with each record handed to sink instead of stored in data.
bool ReadTicketBytes(std::string_view bytes, TicketReaderState& reader, LoadedData& data,
                     RecordSink& sink, std::string& message);

// What a data line ends in once its record is built: the record's condition
// values added to data's lists, then the record handed to sink. False with
// message set when a count would overflow. The record cache hands its
// stored records through here, so they count exactly as read ones.
bool AddRecord(std::string_view record, TicketReaderState& reader, LoadedData& data,
               RecordSink& sink, std::string& message);

}  // namespace lomi
