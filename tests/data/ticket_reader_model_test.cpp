// The load against a plain model of the reading rules, over files of
// realistic lines with random damage: double-byte characters before, in
// and after the slots, bar bytes that are trail bytes, bad bytes, short
// lines and every line end. Whatever road a line takes inside the reader,
// the records and lists must be the model's.

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "analysis/pattern_analysis.h"
#include "data/condition_lists.h"
#include "data/cp932.h"
#include "data/header_date.h"
#include "data/ticket_reader.h"
#include "support/temp_folder.h"
#include "support/utf32_text.h"

namespace lomi {
namespace {

using test::TempFolder;
using test::WriteBytes;

// The rules line by line on decoded characters, with no shortcut.
class ModelLoad {
public:
    void File(const std::string& bytes) {
        std::size_t start = 0;
        while (start < bytes.size()) {
            std::size_t end = bytes.find('\r', start);
            const bool last = end == std::string::npos;
            if (last) end = bytes.size();
            Line(bytes.substr(start, end - start));
            if (last) break;
            start = end + 1;
            if (start < bytes.size() && bytes[start] == '\n') ++start;
        }
    }

    LoadedData data;

private:
    void Line(const std::string& bytes) {
        std::u32string line;
        DecodeCp932(bytes, line);
        const std::size_t bar = line.find(U'|');
        if (bar != std::u32string::npos) {
            int filled = 0;
            for (std::size_t start : {8, 14, 20, 26, 32, 38}) {
                filled += !(start + 5 <= line.size() && line.substr(start, 5) == U"     ");
            }
            const std::u32string race =
                bar + 2 <= line.size() ? line.substr(bar + 2, 29) : std::u32string();
            const std::string record =
                test::U32ToUtf8(race) + static_cast<char>('0' + filled) + currentDate_;
            std::string message;
            ASSERT_TRUE(AddConditionValues(record, data, message)) << message;
            data.Records.Append(record);
        } else if (line.find(U"Kestrava") != std::u32string::npos) {
            std::string encoded;
            EncodeCp932(line, encoded);
            currentDate_ = HeaderDate(encoded);
        }
    }

    std::string currentDate_;
};

template <typename T>
const T& Pick(std::mt19937& random, const std::vector<T>& items) {
    return items[random() % items.size()];
}

// Lines as the writer makes them (code page 932 bytes), then damaged.
std::string RandomLine(std::mt19937& random) {
    const std::vector<std::string> lines = {
        // 札幌11R, three slots, bar at column 45.
        "\x8e\x44\x96\x79"
        "11R   01-05 01-07 05-07                   | 01111656118  32  14  158   52",
        "\x8b\x9e\x93\x73 1R                                       | 0501124211----  14  158-----",
        "ABCD 1R   01-05 01-07 05-07 01-02 01-03 01-04 | 0501124211  32  14  158   52",
        "\x93\x8c\x8b\x9e"
        "12R   01-02 01-03 01-04 01-05 01-06 01-07 | 0512185624   0   0    0    0",
        "Kestrava      2001\x94\x4e\x93\x78 Tolvik contest \x94\x6e\x8c\x94\x8f\x57\x8c\x76"
        "       5\x8c\x8e       6\x93\xfa(\x93\xfa)  \x82\x73\x92\x6c",
        "Kestrava      2001\x94\x4e                            12\x8c\x8e      31\x93\xfa",
        "\xda\xb0\xbd    \x94\x83\x82\xa2\x96\xda          \x8f\xea\x52 \x93\xaa",
        "",
    };
    const std::vector<std::string> pieces = {" ",
                                             "     ",
                                             "|",
                                             "0",
                                             "7",
                                             "18",
                                             "-",
                                             "----",
                                             "\x82\xa0",
                                             "\x81\x7c",
                                             "\x83\x7c",
                                             "\xb1",
                                             "\x80",
                                             "\xfd",
                                             "\x81",
                                             "\x81 ",
                                             "\xe0\x40",
                                             "Kestrava",
                                             "kestrava",
                                             "\t",
                                             ".",
                                             "\n",
                                             "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40",
                                             "\x94\x4e",
                                             "\xed\x40",
                                             "\xfa\x5c",
                                             "\0"};
    std::string line = Pick(random, lines);
    if (random() % 2 == 0) {
        // A race of its own: every condition value turns up now and then
        // among records whose other values were all met before.
        char race[32];
        std::snprintf(race, sizeof race, "%02d%02d%02d%d%d%d%02d",
                      static_cast<int>(random() % 10 + 1), static_cast<int>(random() % 12 + 1),
                      static_cast<int>(random() % 18 + 1), static_cast<int>(random() % 5 + 1),
                      static_cast<int>(random() % 6 + 1), static_cast<int>(random() % 2 + 1),
                      static_cast<int>(random() % 30 + 10));
        line =
            "\x8e\x44\x96\x79"
            "11R   01-05 01-07                         | " +
            std::string(race) + "  32  14  158   52";
    }
    const int damage = static_cast<int>(random() % 4);
    for (int i = 0; i < damage; ++i) {
        const std::size_t at = line.empty() ? 0 : random() % (line.size() + 1);
        switch (random() % 4) {
            case 0:
            case 1:
                line.insert(at, Pick(random, pieces));
                break;
            case 2:
                if (!line.empty()) line.erase(std::min(at, line.size() - 1), 1 + random() % 3);
                break;
            default:
                line.resize(at);
                break;
        }
    }
    return line;
}

std::string RandomFile(std::mt19937& random) {
    const std::vector<std::string> ends = {"\r\n", "\r\n", "\r\n", "\r", "\n", ""};
    std::string bytes;
    const int lines = static_cast<int>(random() % 14);
    for (int i = 0; i < lines; ++i) bytes += RandomLine(random) + Pick(random, ends);
    return bytes;
}

std::vector<std::string> RecordsOf(const LoadedData& data) {
    std::vector<std::string> records;
    for (std::size_t i = 0; i < data.Records.Size(); ++i) records.emplace_back(data.Records[i]);
    return records;
}

TEST(TicketReaderModel, LoadsWhatTheRulesSay) {
    std::mt19937 random(2001);
    for (int round = 0; round < 150; ++round) {
        TempFolder folder;
        ModelLoad model;
        const int files = 1 + static_cast<int>(random() % 3);
        std::string shown;
        for (int f = 0; f < files; ++f) {
            const std::string bytes = RandomFile(random);
            WriteBytes(folder / ("P000" + std::to_string(f) + "Q1RN.txt"), bytes);
            model.File(bytes);
            shown += bytes + "\n----- next file\n";
        }
        SortConditionLists(model.data);

        ProgramState state;
        state.DataFolder = folder.PathText();
        state.PatternFileMask = "P*Q1RN.txt";
        ASSERT_TRUE(CommitLoad(state, LoadPattern(state.DataFolder, state.PatternFileMask)));
        const LoadedData& loaded = state.Loaded;
        ASSERT_EQ(RecordsOf(loaded), RecordsOf(model.data)) << shown;
        EXPECT_EQ(loaded.VenueList, model.data.VenueList) << shown;
        EXPECT_EQ(loaded.RaceList, model.data.RaceList) << shown;
        EXPECT_EQ(loaded.HeadcountList, model.data.HeadcountList) << shown;
        EXPECT_EQ(loaded.AgeList, model.data.AgeList) << shown;
        EXPECT_EQ(loaded.ClassList, model.data.ClassList) << shown;
        EXPECT_EQ(loaded.SurfaceList, model.data.SurfaceList) << shown;
        EXPECT_EQ(loaded.DistanceList, model.data.DistanceList) << shown;
        EXPECT_EQ(loaded.DateList, model.data.DateList) << shown;
        for (std::size_t i = 0; i < loaded.Records.Size(); ++i) {
            ASSERT_EQ(loaded.Records.IsPlain(i), model.data.Records.IsPlain(i)) << i;
        }
    }
}

TEST(HeaderDate, DigitFieldsAndTheirNeighbours) {
    // The year in bytes 11-18, the month in 49-52 and the day in 59-62.
    const auto date = [](const std::string& year, const std::string& month,
                         const std::string& day) {
        return HeaderDate("Kestrava  " + year + std::string(30, 'x') + month + "xxxxxx" + day);
    };
    EXPECT_EQ(date("    2001", "   5", "   6"), "20010506");
    EXPECT_EQ(date("00000000", "0000", "   0"), "00000000");
    EXPECT_EQ(date("12345678", "  12", "31  "), "123456781231");
    EXPECT_EQ(date("  2001  ", "0005", " 06 "), "20010506");
    // Not digits between blanks: read as numbers, or kept as they stand.
    EXPECT_EQ(date("    2001", "1 2 ", "  +6"), "20011 2 06");
    EXPECT_EQ(date("    2001", "  5.", "6.50"), "20010507");  // halves away from zero
    EXPECT_EQ(date("    2001", "    ", "\t 6\t"), "2001    06");
}

}  // namespace
}  // namespace lomi
