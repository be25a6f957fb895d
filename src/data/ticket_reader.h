#pragma once

#include <optional>
#include <string>
#include <vector>

#include "data/program_state.h"

namespace lomi {

// The names of the regular files directly in folder that match mask
// (platform wildcard rules, letters case-insensitive; hidden and system
// files and directories never match), sorted by upper-cased name. Nothing
// when the folder cannot be listed.
std::optional<std::vector<std::string>> ListPatternFiles(const std::string& folder,
                                                         const std::string& mask);

// folder, one separator, name (the separator is added even after a root).
std::string JoinFolderAndName(const std::string& folder, const std::string& name);

// True when no file of state.DataFolder matches state.PatternFileMask, or the
// folder cannot be listed.
bool PatternFilesMissing(const ProgramState& state);

struct LoadResult {
    bool ok = true;
    std::string file;     // the file the load stopped at, when it failed
    std::string message;  // Japanese, one line, naming the file and the reason
};

// Reads every matching file into a new LoadedData and swaps it into state
// only when all of it was read. On failure state.Loaded is left exactly as
// it was and the result names the file and the reason.
LoadResult LoadPatternFiles(ProgramState& state);

// One file's bytes into data, carrying the race date from file to file as
// the load does. Exposed for the fuzzer and the benchmark.
struct TicketReaderState {
    std::string currentDate;  // UTF-8, empty at the start of a load
};
// Returns false with message set when a count would overflow.
bool ReadTicketBytes(std::string_view bytes, TicketReaderState& reader, LoadedData& data,
                     std::string& message);

}  // namespace lomi
