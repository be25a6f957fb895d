// Ticket files and data folders as they come from old disks and other
// programs: whatever they hold, a load gives data or a message naming the
// file, and a load that fails leaves the data already loaded as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif
#ifdef __linux__
#include <malloc.h>
#endif

#include "analysis/pattern_analysis.h"
#include "data/cp932.h"
#include "data/ticket_reader.h"
#include "settings/child_process.h"
#include "support/temp_folder.h"
#include "support/ticket_files.h"
#include "tally/race_filter.h"
#include "tally/selector_items.h"
#include "tally/tally_report.h"

namespace lomi {
namespace {

namespace fs = std::filesystem;
using test::DataLine;
using test::HeaderLine;
using test::RaceData;
using test::TempFolder;
using test::WriteBytes;

const std::array<std::string, 6> kNoSlots = {"", "", "", "", "", ""};
const std::string kRace = RaceData({});
const std::string kRecord = kRace + "0" + "20010506";

std::vector<std::string> Records(const LoadedData& data) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < data.Records.Size(); ++i) out.emplace_back(data.Records[i]);
    return out;
}

// Everything the window shows of a load, as one text, to compare a state
// before and after a failed load (also across a child process).
std::string Fingerprint(const LoadedData& data) {
    std::string text;
    for (const std::string& record : Records(data)) text += record + "\n";
    for (const auto* list : {&data.VenueList, &data.RaceList, &data.HeadcountList, &data.AgeList,
                             &data.ClassList, &data.SurfaceList, &data.DistanceList}) {
        for (std::int16_t value : *list) text += std::to_string(value) + ",";
        text += "\n";
    }
    for (const std::string& date : data.DateList) text += date + ",";
    text += "\n";
    for (const std::string& file : data.Files) text += file + ",";
    return text;
}

// Tallies the loaded data the way the window does: every selector on its
// first value as well as on 全抽出, and writes the report.
std::string TallyEverySelector(ProgramState& state) {
    const auto items = BuildSelectorItems(state.Loaded);
    RaceConditions conditions;
    ExtractAndTally(state, conditions);
    std::string reports = BuildTallyReport(state.RecordCount(), state.Tally);
    const auto first = [&](std::size_t selector) {
        return items[selector].size() > 1 ? items[selector][1] : items[selector][0];
    };
    conditions.venue = first(0).data;
    conditions.race = first(1).data;
    conditions.runners = first(2).data;
    conditions.age = first(3).data;
    conditions.raceClass = first(4).data;
    conditions.surface = first(5).data;
    conditions.distance = first(6).data;
    conditions.date = first(7).text;
    conditions.runnersOrMore = 1;
    ExtractAndTally(state, conditions);
    return reports + BuildTallyReport(state.RecordCount(), state.Tally);
}

class BadTicketFiles : public ::testing::Test {
protected:
    BadTicketFiles() {
        state.DataFolder = folder.PathText();
        state.PatternFileMask = "P*Q1RN.txt";
    }

    // Loads as every front end does, then commits what was read; the data
    // stays as it was unless all was read.
    PatternLoad LoadAndCommit(const LoadProgress& progress = {}) {
        PatternLoad load = LoadPattern(state.DataFolder, state.PatternFileMask, progress);
        PatternLoad outcome{load.status, load.message, {}};
        CommitLoad(state, std::move(load));
        return outcome;
    }

    // A good first load, whose data a failed load must keep.
    void LoadGoodPattern() {
        test::WriteTicketFile(folder.Path(), "P20010506T5PB.txt",
                              {HeaderLine(2001, 5, 6),
                               DataLine("札幌1R", kNoSlots, RaceData({.venue = 9, .race = 3}))});
        state.PatternFileMask = "P*T5PB.txt";
        const PatternLoad result = LoadAndCommit();
        ASSERT_EQ(result.status, LoadStatus::Loaded) << result.message;
        ASSERT_EQ(state.RecordCount(), 1);
        before = Fingerprint(state.Loaded);
        state.PatternFileMask = "P*Q1RN.txt";
    }

    // Loads the bytes as the pattern's only file; expects success.
    std::vector<std::string> RecordsOfBytes(const std::string& bytes) {
        WriteBytes(folder / "P20010506Q1RN.txt", bytes);
        const PatternLoad result = LoadAndCommit();
        EXPECT_EQ(result.status, LoadStatus::Loaded) << result.message;
        return Records(state.Loaded);
    }

    void ExpectFailureKeepingTheData(const PatternLoad& result, const std::string& named) {
        EXPECT_EQ(result.status, LoadStatus::Failed);
        EXPECT_NE(result.message.find(named), std::string::npos) << result.message;
        EXPECT_EQ(result.message.find('\n'), std::string::npos) << result.message;
        EXPECT_EQ(Fingerprint(state.Loaded), before);
    }

    TempFolder folder;
    ProgramState state;
    std::string before;
};

TEST_F(BadTicketFiles, EmptyFilesLoadAsNoRaces) {
    LoadGoodPattern();
    for (const std::string bytes : {"", "\r\n\r\n\r", "\n\n\n", "   \t  ", "\x1a"}) {
        EXPECT_TRUE(RecordsOfBytes(bytes).empty()) << testing::PrintToString(bytes);
        EXPECT_EQ(state.Loaded.Files, std::vector<std::string>{"P20010506Q1RN.txt"});
        EXPECT_TRUE(state.Loaded.VenueList.empty());
        EXPECT_TRUE(state.Loaded.DateList.empty());
        // The window then offers only 全抽出 and the tally says so.
        for (const auto& items : BuildSelectorItems(state.Loaded)) EXPECT_EQ(items.size(), 1u);
        EXPECT_NE(TallyEverySelector(state).find("総ﾚｰｽ：0"), std::string::npos);
    }
    // An empty file beside a good one takes nothing from it.
    test::WriteTicketFile(folder.Path(), "P20010507Q1RN.txt",
                          {HeaderLine(2001, 5, 6), DataLine("札幌1R", kNoSlots, kRace)});
    ASSERT_EQ(LoadAndCommit().status, LoadStatus::Loaded);
    EXPECT_EQ(Records(state.Loaded), std::vector<std::string>{kRecord});
}

TEST_F(BadTicketFiles, BinaryJunkLoadsAndTalliesWithoutHarm) {
    std::mt19937 random(20010506);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string junk(4 << 20, '\0');
    for (char& c : junk) c = static_cast<char>(byte(random));
    // The same junk with a bar and a line end every few bytes makes many
    // odd data lines and headers.
    std::string lined = junk.substr(0, 1 << 20);
    for (std::size_t i = 0; i < lined.size(); i += 1 + byte(random) % 96) {
        lined[i] = "|\r\nK"[byte(random) % 4];
    }
    for (std::size_t i = 0; i + 8 < lined.size(); i += 4096) lined.replace(i, 8, "Kestrava");

    for (const std::string* bytes : {&junk, &lined}) {
        const std::size_t bars =
            static_cast<std::size_t>(std::count(bytes->begin(), bytes->end(), '|'));
        const auto records = RecordsOfBytes(*bytes);
        EXPECT_LE(records.size(), bars);
        EXPECT_NE(TallyEverySelector(state).find("総ﾚｰｽ：" + std::to_string(records.size())),
                  std::string::npos);
    }
    EXPECT_GT(state.RecordCount(), 1000);
}

TEST_F(BadTicketFiles, NulBytesAreCharactersLikeAnyOther) {
    // A file of zeros, as a crash can leave one behind.
    EXPECT_TRUE(RecordsOfBytes(std::string(1 << 20, '\0')).empty());

    // NULs in the header's fields and in the race data are kept as they are;
    // the lines after them are read.
    const std::string nul(1, '\0');
    std::string header = EncodeCp932(HeaderLine(2001, 5, 6));
    header[48] = '\0';
    std::string data = EncodeCp932(DataLine("札幌1R", kNoSlots, kRace));
    data.insert(data.size() - 3, nul);
    const auto records =
        RecordsOfBytes(nul + "\r\n" + header + "\r\n" + data + "\r\n" + nul + "|" + nul + "01\r\n" +
                       EncodeCp932(DataLine("", kNoSlots, kRace)));
    ASSERT_EQ(records.size(), 3u);
    const std::string date = "2001" + nul + "  506";
    EXPECT_EQ(records[0], kRace.substr(0, 26) + nul + kRace.substr(26, 2) + "0" + date);
    EXPECT_EQ(records[1], "01" + std::string("6") + date);
    EXPECT_EQ(records[2], kRace + "0" + date);
    TallyEverySelector(state);
}

TEST_F(BadTicketFiles, LoneLeadByteAtTheEndOfALineOrFile) {
    const std::string header = EncodeCp932(HeaderLine(2001, 5, 6));
    const std::string data = EncodeCp932(DataLine("札幌1R", kNoSlots, kRace));
    // Before a line end the lead byte is a bad character of its own: the CR
    // still ends the line and the next line is read.
    EXPECT_EQ(RecordsOfBytes(header + "\x81\r\n" + data + "\x81\r\n" + data),
              std::vector<std::string>(2, kRecord));
    // As the last byte of the file, after a data line without a line end:
    // within the race data it becomes U+FFFD, beyond it it is not read.
    const std::string shortData = data.substr(0, data.size() - 1);
    EXPECT_EQ(RecordsOfBytes(header + "\r\n" + shortData + "\x81"),
              std::vector<std::string>{kRace.substr(0, 28) + "\xEF\xBF\xBD" + "0" + "20010506"});
    EXPECT_EQ(RecordsOfBytes(header + "\r\n" + data + "\x81"), std::vector<std::string>{kRecord});
    // As the last byte of a header: no field reaches it.
    EXPECT_EQ(RecordsOfBytes(data + "\r\n" + header + "\x81"),
              std::vector<std::string>{kRace + "0"});
    EXPECT_EQ(state.Loaded.DateList, std::vector<std::string>{""});
    // A file of nothing but a lead byte.
    EXPECT_TRUE(RecordsOfBytes("\x81").empty());
}

#ifdef __linux__
// Peak resident memory of this process, in bytes, since the last reset.
std::size_t PeakMemory() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stoul(line.substr(6)) * 1024;
    }
    return 0;
}

std::size_t CurrentMemory() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stoul(line.substr(6)) * 1024;
    }
    return 0;
}

bool ResetPeakMemory() {
#ifdef __SANITIZE_THREAD__
    return false;  // ThreadSanitizer's shadow grows with every byte touched
#endif
    ::malloc_trim(0);  // freed memory must be taken anew, and so counted
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}
#endif

// One line of many megabytes (20 by default; LOMI_LONG_LINE_MB sets it):
// the load takes about as long as reading the bytes and no memory beyond
// them, whatever the line holds.
TEST_F(BadTicketFiles, OneHugeLineNeedsNoMemoryBeyondItsBytes) {
    const char* sizeText = std::getenv("LOMI_LONG_LINE_MB");
    const std::size_t size = (sizeText ? std::strtoul(sizeText, nullptr, 10) : 20) << 20;
    const std::string kanji = "\x8e\x44";  // 柏
    const auto repeat = [](const std::string& unit, std::size_t bytes) {
        std::string text;
        text.reserve(bytes);
        while (text.size() + unit.size() <= bytes) text += unit;
        return text;
    };
    struct Shape {
        const char* name;
        std::function<std::string()> bytes;
        std::int32_t records;
    };
    const Shape shapes[] = {
        {"ASCII without a bar", [&] { return std::string(size, 'x'); }, 0},
        {"ASCII data line", [&] { return std::string(50, ' ') + "| " + std::string(size, '1'); },
         1},
        {"double-byte without a bar", [&] { return repeat(kanji, size); }, 0},
        {"double-byte data line", [&] { return repeat(kanji, size) + "| " + kRace; }, 1},
        {"double-byte header", [&] { return "Kestrava  " + repeat(kanji, size); }, 0},
        // 0x81 0x7C is one character: the second bar is the first one.
        {"bars after a lead byte", [&] { return "\x81" + std::string(size, '|'); }, 1},
    };

    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.name);
        [[maybe_unused]] std::size_t fileSize = 0;  // measured on Linux only
        {
            const std::string bytes = shape.bytes();
            fileSize = bytes.size();
            WriteBytes(folder / "P20010506Q1RN.txt", bytes);
        }
#ifdef __linux__
        const bool measured = ResetPeakMemory();
        const std::size_t start = CurrentMemory();
#endif
        const auto began = std::chrono::steady_clock::now();
        const PatternLoad result = LoadAndCommit();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        ASSERT_EQ(result.status, LoadStatus::Loaded) << result.message;
        EXPECT_EQ(state.RecordCount(), shape.records);
        // Printed, not checked: tests assert no wall-clock figure.
        std::printf("load of one long line: %.2f s\n", seconds);
#ifdef __linux__
        if (measured) {
            const std::size_t peak = PeakMemory();
            const std::size_t extra = peak > start ? peak - start : 0;
            // The file's bytes, and a little for the rest.
            EXPECT_LT(extra, fileSize + fileSize / 4 + (8 << 20))
                << "peak " << peak << " from " << start << " for " << fileSize << " bytes";
        }
#endif
    }
    ASSERT_EQ(state.RecordCount(), 1);
    EXPECT_EQ(Records(state.Loaded)[0], std::string(29, '|') + "6");
}

// POSIX file kinds and permission bits: FIFOs, symbolic links (which
// Windows makes only with a privilege) and files no user may read.
#ifndef _WIN32
TEST_F(BadTicketFiles, FileThatCannotBeReadIsNamedAndTheDataKept) {
    LoadGoodPattern();
    const fs::path file =
        test::WriteTicketFile(folder.Path(), "P20010506Q1RN.txt", {HeaderLine(2001, 5, 6)});
    fs::permissions(file, fs::perms::none);
    // Root reads every file: the load runs as an ordinary user.
    const std::string outcome = test::RunAsUnprivilegedChild([&] {
        const PatternLoad result = LoadAndCommit();
        const bool kept = Fingerprint(state.Loaded) == before;
        return std::string(result.status == LoadStatus::Loaded ? "1" : "0") + (kept ? "1" : "0") +
               result.message;
    });
    ASSERT_GE(outcome.size(), 2u);
    EXPECT_EQ(outcome.substr(0, 2), "01") << outcome;
    EXPECT_NE(outcome.find(file.string()), std::string::npos) << outcome;
    EXPECT_NE(outcome.find("開けません（アクセスが拒否されました）"), std::string::npos) << outcome;
}

TEST_F(BadTicketFiles, FileGoneOrChangedAfterTheExistenceTest) {
    LoadGoodPattern();
    const fs::path first =
        test::WriteTicketFile(folder.Path(), "P20010506Q1RN.txt",
                              {HeaderLine(2001, 5, 6), DataLine("札幌1R", kNoSlots, kRace)});
    const fs::path second = folder / "P20010507Q1RN.txt";

    // Every file of the pattern removed between the existence test and the
    // reading, which lists the folder again.
    fs::remove(first);
    LoadedData scratch;
    const LoadResult gone = ReadPatternFiles(state.DataFolder, state.PatternFileMask, scratch);
    EXPECT_FALSE(gone.ok);
    EXPECT_NE(gone.message.find("P*Q1RN.txt"), std::string::npos) << gone.message;

    // A file removed, or put back as a folder or a pipe, after the load
    // listed it: the load stops at it, without waiting on the pipe.
    using Change = void (*)(const fs::path&);
    const Change changes[] = {
        [](const fs::path& file) { fs::remove(file); },
        [](const fs::path& file) {
            fs::remove(file);
            fs::create_directory(file);
        },
        [](const fs::path& file) {
            fs::remove(file);
            ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
        },
        [](const fs::path& file) {
            fs::remove(file);
            fs::create_symlink(file, file);
        },
    };
    const char* reasons[] = {
        "開けません（ファイルが見つかりません）", "開けません（ファイルではありません）",
        "開けません（ファイルではありません）", "開けません（シンボリックリンクが循環しています）"};
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        test::WriteTicketFile(folder.Path(), "P20010506Q1RN.txt", {HeaderLine(2001, 5, 6)});
        fs::remove_all(second);
        test::WriteTicketFile(folder.Path(), "P20010507Q1RN.txt", {HeaderLine(2001, 5, 7)});
        const PatternLoad result = LoadAndCommit([&](std::size_t done, std::size_t) {
            if (done == 0) changes[i](second);
        });
        ExpectFailureKeepingTheData(result, second.string());
        EXPECT_NE(result.message.find(reasons[i]), std::string::npos) << result.message;
    }
}

TEST_F(BadTicketFiles, FoldersAndLinksMatchingTheMaskAreNoTicketFiles) {
    LoadGoodPattern();
    fs::create_directory(folder / "P_folder_Q1RN.txt");
    fs::create_symlink(folder / "P_loop_Q1RN.txt", folder / "P_loop_Q1RN.txt");
    fs::create_symlink(folder / "P_a_Q1RN.txt", folder / "P_b_Q1RN.txt");
    fs::create_symlink(folder / "P_b_Q1RN.txt", folder / "P_a_Q1RN.txt");
    fs::create_symlink(folder / "missing", folder / "P_dangling_Q1RN.txt");
    fs::create_symlink(folder.Path(), folder / "P_parent_Q1RN.txt");
    ASSERT_EQ(::mkfifo((folder / "P_pipe_Q1RN.txt").c_str(), 0644), 0);
    EXPECT_EQ(LoadAndCommit().status, LoadStatus::NotFound);
    EXPECT_EQ(Fingerprint(state.Loaded), before);

    // Beside a real ticket file they are passed over.
    test::WriteTicketFile(folder.Path(), "P20010506Q1RN.txt",
                          {HeaderLine(2001, 5, 6), DataLine("札幌1R", kNoSlots, kRace)});
    ASSERT_EQ(LoadAndCommit().status, LoadStatus::Loaded);
    EXPECT_EQ(state.Loaded.Files, std::vector<std::string>{"P20010506Q1RN.txt"});
}

TEST_F(BadTicketFiles, DataFolderThatIsNoFolder) {
    LoadGoodPattern();
    const fs::path file = folder / "not a folder";
    WriteBytes(file, "P20010506Q1RN.txt");
    fs::create_symlink(folder / "loop", folder / "loop");
    // The existence test finds nothing; read anyway, the folder is named
    // with the reason. An empty folder text names no folder at all.
    const struct {
        std::string folder;
        std::string reason;
    } cases[] = {{(folder / "missing").string(), "ﾌｫﾙﾀﾞが見つかりません"},
                 {file.string(), "ﾌｫﾙﾀﾞが見つかりません"},
                 {(file / "below a file").string(), "ﾌｫﾙﾀﾞが見つかりません"},
                 {(folder / "loop").string(), "シンボリックリンクが循環しています"},
                 {"", "ﾌｫﾙﾀﾞが見つかりません"}};
    for (const auto& c : cases) {
        state.DataFolder = c.folder;
        EXPECT_EQ(LoadAndCommit().status, LoadStatus::NotFound) << c.folder;
        EXPECT_EQ(Fingerprint(state.Loaded), before);
        LoadedData data;
        EXPECT_EQ(ReadPatternFiles(c.folder, state.PatternFileMask, data).message,
                  "ﾌｫﾙﾀﾞ「" + c.folder + "」の中を読めません（" + c.reason + "）。");
    }
}

TEST_F(BadTicketFiles, DataFolderThatCannotBeSearched) {
    LoadGoodPattern();
    const fs::path locked = folder / "locked";
    fs::create_directory(locked);
    test::WriteTicketFile(locked, "P20010506Q1RN.txt", {HeaderLine(2001, 5, 6)});
    fs::permissions(locked, fs::perms::owner_write);
    state.DataFolder = locked.string();
    const std::string outcome = test::RunAsUnprivilegedChild([&] {
        const bool notFound = LoadAndCommit().status == LoadStatus::NotFound;
        const bool kept = Fingerprint(state.Loaded) == before;
        LoadedData data;
        return std::string(notFound ? "1" : "0") + (kept ? "1" : "0") +
               ReadPatternFiles(state.DataFolder, state.PatternFileMask, data).message;
    });
    EXPECT_EQ(outcome,
              "11ﾌｫﾙﾀﾞ「" + locked.string() + "」の中を読めません（アクセスが拒否されました）。");
}

#endif

}  // namespace
}  // namespace lomi
