// The record cache: a load through it gives what a load without it gives,
// whatever happened to the folder or to the cache in between.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/ticket_reader.h"
#include "support/temp_folder.h"
#include "support/ticket_files.h"

namespace lomi {
namespace {

using namespace test;
namespace fs = std::filesystem;

const std::array<std::string, 6> kNoSlots = {"", "", "", "", "", ""};
constexpr const char* kMask = "P*Q1RN.txt";

// Everything a load gives, as one text to compare.
std::string Snapshot(const LoadResult& result, const LoadedData& data) {
    std::string text = (result.ok ? "ok " : "failed ") + result.message + "\n";
    for (std::size_t i = 0; i < data.Records.Size(); ++i) {
        text += std::string(data.Records[i]) + (data.Records.IsPlain(i) ? "\n" : " *\n");
    }
    for (const auto* list :
         {&data.VenueList, &data.RaceList, &data.ClassList, &data.DistanceList}) {
        for (const auto value : *list) text += std::to_string(value) + " ";
        text += "\n";
    }
    for (const std::string& date : data.DateList) text += date + " ";
    for (const std::string& name : data.Files) text += "\n" + name;
    return text;
}

class RecordCache : public testing::Test {
protected:
    RecordCache() {
        cache.folder = (cacheRoot / "records").string();
        cache.notes = std::make_shared<RecordCacheNotes>();
    }

    // A ticket file of one race day, an hour old unless told otherwise, so
    // the cache may trust it.
    void Write(const std::string& name, const std::vector<std::string>& lines,
               std::chrono::seconds age = std::chrono::hours(1)) {
        WriteTicketFile(data.Path(), name, lines);
        SetAge(name, age);
    }
    void SetAge(const std::string& name, std::chrono::seconds age) {
        fs::last_write_time(data / name, fs::file_time_type::clock::now() - age);
    }
    static std::vector<std::string> Day(int day, int win, bool header = true) {
        std::vector<std::string> lines;
        if (header) lines.push_back(HeaderLine(2001, 4, day));
        lines.push_back(DataLine("東京11R", kNoSlots, RaceData({.win = std::to_string(win)})));
        lines.push_back(DataLine("東京12R", {"1", "", "", "", "", ""}, RaceData({.venue = 5})));
        return lines;
    }

    std::string Load(const RecordCacheOptions& options) {
        LoadedData loaded;
        const LoadResult result = ReadPatternFiles(data.PathText(), kMask, loaded, {}, {}, options);
        return Snapshot(result, loaded);
    }
    // The load without the cache, then twice through it (the second one
    // served from what the first wrote): all three the same.
    void ExpectSameThreeWays(const std::string& step) {
        const std::string expected = Load({});
        EXPECT_EQ(Load(cache), expected) << step;
        EXPECT_EQ(Load(cache), expected) << step;
    }
    fs::path CacheFile() const {
        for (const auto& entry : fs::recursive_directory_iterator(cacheRoot.Path())) {
            if (entry.path().extension() == ".records") return entry.path();
        }
        return {};
    }

    TempFolder data;
    TempFolder cacheRoot;
    RecordCacheOptions cache;
};

// Files added, changed in place with the same size, removed and renamed,
// and a file without a header whose date comes from a file that changed.
TEST_F(RecordCache, FolderChangesAreSeen) {
    Write("P20010407Q1RN.txt", Day(7, 32));
    Write("P20010408Q1RN.txt", Day(8, 45, false));  // takes 7 April's date
    Write("P20010414Q1RN.txt", Day(14, 11));
    ExpectSameThreeWays("built");
    ASSERT_FALSE(CacheFile().empty());

    const std::vector<std::pair<std::string, std::function<void()>>> steps = {
        {"added", [&] { Write("P20010415Q1RN.txt", Day(15, 20)); }},
        {"same size, other time",
         [&] { Write("P20010414Q1RN.txt", Day(14, 99), std::chrono::hours(2)); }},
        {"removed", [&] { fs::remove(data / "P20010415Q1RN.txt"); }},
        {"renamed", [&] { fs::rename(data / "P20010414Q1RN.txt", data / "P20010421Q1RN.txt"); }},
        {"date before a headerless file",
         [&] { Write("P20010407Q1RN.txt", Day(9, 32), std::chrono::hours(3)); }},
        {"headerless file first", [&] { fs::remove(data / "P20010407Q1RN.txt"); }},
        {"rebuilt", [&] { cache.rebuild = true; }},
    };
    for (const auto& [name, change] : steps) {
        change();
        ExpectSameThreeWays(name);
    }
    EXPECT_EQ(cache.notes->First(), "");
}

// The cache serves a file whose size and time are unchanged without opening
// it, once its time is two seconds old; until then it reads it again.
TEST_F(RecordCache, RecentFilesAreReadAgain) {
    Write("P20010407Q1RN.txt", Day(7, 32), std::chrono::seconds(0));
    const std::string first = Load(cache);
    // Rewritten with the same size within the same second.
    const auto time = fs::last_write_time(data / "P20010407Q1RN.txt");
    Write("P20010407Q1RN.txt", Day(7, 45));
    fs::last_write_time(data / "P20010407Q1RN.txt", time);
    const std::string rewritten = Load({});
    EXPECT_NE(rewritten, first);
    EXPECT_EQ(Load(cache), rewritten);

    // An old file that changes without a change of size or time is what
    // the cache stored: proof that it is not read.
    SetAge("P20010407Q1RN.txt", std::chrono::hours(1));
    const auto old = fs::last_write_time(data / "P20010407Q1RN.txt");
    EXPECT_EQ(Load(cache), rewritten);
    Write("P20010407Q1RN.txt", Day(7, 32));
    fs::last_write_time(data / "P20010407Q1RN.txt", old);
    EXPECT_EQ(Load(cache), rewritten);
    EXPECT_NE(Load({}), rewritten);
}

// A load of many files reads them ahead on a thread of its own; the stamps
// it takes there let the next load serve every file without opening it,
// shown by contents changed without a change of size or time.
TEST_F(RecordCache, FilesReadAheadAreServedNextTime) {
    const auto writeAll = [&](int win) {
        for (int month = 1; month <= 10; ++month) {
            for (int day = 1; day <= 25; ++day) {
                char name[32];
                std::snprintf(name, sizeof name, "P2001%02d%02dQ1RN.txt", month, day);
                std::vector<std::string> lines = Day(day, win);
                lines[0] = HeaderLine(2001, month, day);
                const bool existed = fs::exists(data / name);
                const auto time = existed
                                      ? fs::last_write_time(data / name)
                                      : fs::file_time_type::clock::now() - std::chrono::hours(1);
                WriteTicketFile(data.Path(), name, lines);
                fs::last_write_time(data / name, time);
            }
        }
    };
    writeAll(32);
    const std::string built = Load(cache);
    writeAll(45);
    EXPECT_EQ(Load(cache), built);
    EXPECT_NE(Load({}), built);
}

// Every byte of the cache file damaged in turn: never trusted, rebuilt.
TEST_F(RecordCache, ADamagedCacheIsIgnored) {
    Write("P20010407Q1RN.txt", Day(7, 32));
    Write("P20010408Q1RN.txt", Day(8, 45, false));
    const std::string expected = Load({});
    ASSERT_EQ(Load(cache), expected);
    const fs::path file = CacheFile();
    const std::string good = ReadBytes(file);
    ASSERT_GT(good.size(), 100u);
    for (std::size_t i = 0; i < good.size(); ++i) {
        std::string bad = good;
        bad[i] = static_cast<char>(bad[i] ^ 0x5A);
        WriteBytes(file, bad);
        ASSERT_EQ(Load(cache), expected) << "byte " << i;
    }
    for (const std::size_t size : {std::size_t{0}, std::size_t{7}, good.size() - 1}) {
        WriteBytes(file, good.substr(0, size));
        EXPECT_EQ(Load(cache), expected) << size << " bytes";
    }
    WriteBytes(file, good + "x");
    EXPECT_EQ(Load(cache), expected);
}

// A cache that cannot be written (its folder is a file here, or read-only):
// the same result, one note saying so.
TEST_F(RecordCache, AnUnwritableCacheFolderMeansNoCache) {
    Write("P20010407Q1RN.txt", Day(7, 32));
    WriteBytes(cacheRoot / "records", "not a folder");
    const std::string expected = Load({});
    EXPECT_EQ(Load(cache), expected);
    EXPECT_EQ(Load(cache), expected);
    EXPECT_NE(cache.notes->First().find("キャッシュを書き込めません"), std::string::npos);

    // A folder that cannot be read at all gives the same too.
    cache.folder = (data / "P20010407Q1RN.txt" / "records").string();
    EXPECT_EQ(Load(cache), expected);
}

// Caches of folders unused for 90 days go; the one in use stays.
TEST_F(RecordCache, UnusedFoldersAreRemoved) {
    Write("P20010407Q1RN.txt", Day(7, 32));
    const fs::path unused = cacheRoot / "records" / "0123456789abcdef";
    fs::create_directories(unused);
    WriteBytes(unused / "used", "");
    fs::last_write_time(unused / "used",
                        fs::file_time_type::clock::now() - std::chrono::hours(24 * 91));
    const fs::path other = cacheRoot / "records" / "keep-me";
    fs::create_directories(other);
    Load(cache);
    EXPECT_FALSE(fs::exists(unused));
    EXPECT_TRUE(fs::exists(other));
    EXPECT_GT(RecordCacheSize(cache.folder), 0u);

    std::string reason;
    EXPECT_FALSE(ClearRecordCache(cacheRoot.PathText(), reason));
    EXPECT_TRUE(ClearRecordCache(cache.folder, reason)) << reason;
    EXPECT_FALSE(fs::exists(cacheRoot / "records"));
    EXPECT_TRUE(fs::exists(cacheRoot.Path()));
    EXPECT_EQ(RecordCacheSize(cache.folder), 0u);

    const std::vector<std::pair<std::uint64_t, std::string>> sizes = {
        {0, "0 KB"}, {999'499, "999 KB"}, {12'345'678, "12.3 MB"}, {1'400'000'000, "1.40 GB"}};
    for (const auto& [bytes, text] : sizes) EXPECT_EQ(CacheSizeText(bytes), text);
}

}  // namespace
}  // namespace lomi
