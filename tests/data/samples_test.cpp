#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "analysis/pattern_analysis.h"

namespace lomi {
namespace {

// The bundled samples, written by the sample generator, read as the real
// files do: full records whose date is the one in the file's name.
TEST(Samples, LoadAsWellFormedTicketFiles) {
    ProgramState state;
    state.DataFolder = LOMI_SAMPLES_DIR;
    state.PatternFileMask = "P*Q1RN.txt";
    PatternLoad load = LoadPattern(state.DataFolder, state.PatternFileMask);
    ASSERT_EQ(load.status, LoadStatus::Loaded) << load.message;
    CommitLoad(state, std::move(load));
    ASSERT_EQ(state.Loaded.Files.size(), 12u);
    EXPECT_GE(state.RecordCount(), 12 * 24);

    std::size_t file = 0;
    int racesOfFile = 0;
    for (std::size_t i = 0; i < state.Loaded.Records.Size(); ++i) {
        const std::string_view record = state.Loaded.Records[i];
        ASSERT_EQ(record.size(), 38u) << record;
        // Records come file by file; a new date starts the next file.
        while (record.substr(30) != state.Loaded.Files[file].substr(1, 8)) {
            EXPECT_TRUE(racesOfFile == 24 || racesOfFile == 36) << state.Loaded.Files[file];
            ++file;
            racesOfFile = 0;
            ASSERT_LT(file, state.Loaded.Files.size()) << record;
        }
        ++racesOfFile;
        const char slots = record[29];
        EXPECT_TRUE(slots >= '0' && slots <= '6') << record;
    }
    EXPECT_EQ(file, 11u);
    EXPECT_EQ(state.Loaded.DateList.size(), 12u);
    EXPECT_EQ(state.Loaded.DateList.front(), "20010506");
    EXPECT_EQ(state.Loaded.SurfaceList, (std::vector<std::int16_t>{1, 2}));
    for (std::int16_t venue : state.Loaded.VenueList) EXPECT_TRUE(venue >= 1 && venue <= 10);
    for (std::int16_t runners : state.Loaded.HeadcountList)
        EXPECT_TRUE(runners >= 5 && runners <= 18);
}

}  // namespace
}  // namespace lomi
