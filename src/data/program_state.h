#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/pattern_selections.h"
#include "data/record_cache.h"
#include "data/record_store.h"

namespace lomi {

// The races of one pattern and the distinct condition values found in them.
// A load builds a new one and swaps it in only when it completes, so the
// program never shows half a load.
struct LoadedData {
    RecordStore Records;  // RecordCount is Records.Size()

    // Distinct values in ascending order (0 never stored).
    std::vector<std::int16_t> VenueList;
    std::vector<std::int16_t> RaceList;
    std::vector<std::int16_t> HeadcountList;
    std::vector<std::int16_t> AgeList;
    std::vector<std::int16_t> ClassList;
    std::vector<std::int16_t> SurfaceList;
    std::vector<std::int16_t> DistanceList;
    // Distinct race dates YYYYMMDD, latest first; may hold an empty text.
    std::vector<std::string> DateList;

    // Names of the files read, in reading order.
    std::vector<std::string> Files;
};

// The ten sums of one tally. 64-bit so that large data sets give true figures.
struct TallyAccumulators {
    std::int64_t WinPayout = 0;
    std::int64_t PlacePayout = 0;
    std::int64_t QuinellaPayout = 0;
    std::int64_t WidePayout = 0;
    std::int64_t WinHits = 0;
    std::int64_t PlaceHits = 0;
    std::int64_t QuinellaHits = 0;
    std::int64_t WideHits = 0;
    std::int64_t PairTickets = 0;
    std::int64_t ExtractedRaces = 0;

    bool operator==(const TallyAccumulators&) const = default;
};

// Everything the program keeps while it runs. Texts are UTF-8.
struct ProgramState {
    std::string DataFolder;
    std::string PatternFileMask;
    PatternSelections Pattern;  // kept in the settings as CON1..CON4
    RecordCacheOptions RecordCache;  // off until a front end sets its folder

    LoadedData Loaded;
    TallyAccumulators Tally;

    std::int32_t RecordCount() const { return static_cast<std::int32_t>(Loaded.Records.Size()); }
};

}  // namespace lomi
