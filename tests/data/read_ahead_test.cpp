#include "data/read_ahead.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/ticket_reader.h"
#include "support/temp_folder.h"

namespace lomi {
namespace {

// Each call of Next in turn, as "ok:bytes" or "no:reason"; a missing file
// ends the reading, and every call past the end answers at once. A file
// read carries the stamp a lookup by its path gives, which the record
// cache compares with on the next run.
TEST(ReadAhead, GivesTheFilesThenAnEndThatNeverBlocks) {
    const test::TempFolder folder;
    test::WriteBytes(folder / "a", "A");
    test::WriteBytes(folder / "b", "BB");
    const std::string path = folder.PathText();  // must outlive the reading
    const std::string end = "no:読み込むファイルが残っていません";
    const struct {
        std::vector<std::string> names;
        std::vector<std::string> calls;
    } cases[] = {
        {{}, {end, end}},
        {{"a"}, {"ok:A", end, end}},
        {{"a", "b", "a"}, {"ok:A", "ok:BB", "ok:A", end}},
        {{"a", "gone", "b"}, {"ok:A", "no:ファイルが見つかりません", end, end}},
    };
    for (const auto& c : cases) {
        ReadAhead ahead(path, c.names, true);
        for (std::size_t i = 0; i < c.calls.size(); ++i) {
            const std::string& expected = c.calls[i];
            const ReadAhead::File& file = ahead.Next();
            EXPECT_FALSE(file.error);
            if (file.ok) {
                EXPECT_EQ(file.stamp, StampOfFile(JoinFolderAndName(path, c.names[i])));
            }
            EXPECT_EQ((file.ok ? "ok:" + file.bytes : "no:" + file.reason), expected)
                << testing::PrintToString(c.names);
        }
    }
}

}  // namespace
}  // namespace lomi
