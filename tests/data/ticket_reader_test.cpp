#include "data/ticket_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include "analysis/pattern_analysis.h"
#include "data/cp932.h"
#include "support/temp_folder.h"
#include "support/ticket_files.h"

namespace lomi {
namespace {

using test::DataLine;
using test::HeaderLine;
using test::RaceData;
using test::RaceFields;
using test::TempFolder;
using test::WriteBytes;
using test::WriteTicketFile;

const std::array<std::string, 6> kThreeSlots = {"01-05", "01-07", "05-07", "", "", ""};
const std::array<std::string, 6> kNoSlots = {"", "", "", "", "", ""};

std::vector<std::string> Records(const LoadedData& data) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < data.Records.Size(); ++i) out.emplace_back(data.Records[i]);
    return out;
}

// The state a failed load must leave alone.
void ExpectUnchanged(const LoadedData& before, const LoadedData& after) {
    EXPECT_EQ(Records(before), Records(after));
    EXPECT_EQ(before.VenueList, after.VenueList);
    EXPECT_EQ(before.RaceList, after.RaceList);
    EXPECT_EQ(before.DateList, after.DateList);
    EXPECT_EQ(before.Files, after.Files);
}

class TicketReader : public ::testing::Test {
protected:
    TicketReader() {
        state.DataFolder = folder.PathText();
        state.PatternFileMask = "P*Q1RN.txt";
    }

    void Write(const std::string& name, const std::vector<std::string>& lines) {
        WriteTicketFile(folder.Path(), name, lines);
    }

    // Loads as every front end does, then commits what was read; the data
    // stays as it was unless all was read.
    PatternLoad LoadAndCommit() {
        PatternLoad load = LoadPattern(state.DataFolder, state.PatternFileMask);
        PatternLoad outcome{load.status, load.message, {}};
        CommitLoad(state, std::move(load));
        return outcome;
    }

    // Loads and expects success.
    void Load() {
        const PatternLoad result = LoadAndCommit();
        ASSERT_EQ(result.status, LoadStatus::Loaded) << result.message;
    }

    // Loads the lines as the only file and returns the records.
    std::vector<std::string> RecordsOf(const std::vector<std::string>& lines) {
        Write("P20010506Q1RN.txt", lines);
        Load();
        return Records(state.Loaded);
    }

    std::vector<std::string> RecordsOfBytes(const std::string& bytes) {
        WriteBytes(folder / "P20010506Q1RN.txt", bytes);
        Load();
        return Records(state.Loaded);
    }

    TempFolder folder;
    ProgramState state;
};

TEST_F(TicketReader, WorkedExample) {
    const std::string header = HeaderLine("2001", "5", "6");
    const std::string data = DataLine("札幌11R", kThreeSlots, RaceData({}));
    // The helpers put the fields where a real file has them.
    const std::string headerBytes = EncodeCp932(header);
    EXPECT_EQ(headerBytes.substr(0, 8), "Kestrava");
    EXPECT_EQ(headerBytes.substr(10, 8), "    2001");
    EXPECT_EQ(headerBytes.substr(48, 4), "   5");
    EXPECT_EQ(headerBytes.substr(58, 4), "   6");
    EXPECT_EQ(test::CharCount(data), 75u);
    EXPECT_EQ(EncodeCp932(data).size(), 77u);
    EXPECT_EQ(data.find('|'), 48u);  // column 45 after two 3-byte UTF-8 characters

    const auto records = RecordsOf({header, data});
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], "01111656118  32  14  158   52320010506");
    EXPECT_EQ(records[0].size(), 38u);
    EXPECT_EQ(state.RecordCount(), 1);
    EXPECT_EQ(state.Loaded.DateList, std::vector<std::string>{"20010506"});
    EXPECT_EQ(state.Loaded.VenueList, std::vector<std::int16_t>{1});
    EXPECT_EQ(state.Loaded.RaceList, std::vector<std::int16_t>{11});
    EXPECT_EQ(state.Loaded.HeadcountList, std::vector<std::int16_t>{16});
    EXPECT_EQ(state.Loaded.AgeList, std::vector<std::int16_t>{5});
    EXPECT_EQ(state.Loaded.ClassList, std::vector<std::int16_t>{6});
    EXPECT_EQ(state.Loaded.SurfaceList, std::vector<std::int16_t>{1});
    EXPECT_EQ(state.Loaded.DistanceList, std::vector<std::int16_t>{18});
    EXPECT_EQ(state.Loaded.Files, std::vector<std::string>{"P20010506Q1RN.txt"});
}

TEST_F(TicketReader, HeaderFieldsAreReadAtTheirBytePositions) {
    const std::string data = EncodeCp932(DataLine("東京1R", kNoSlots, RaceData({})));
    const auto dateOfBytes = [&](const std::string& header) {
        const auto records = RecordsOfBytes(header + "\r\n" + data);
        EXPECT_EQ(records.size(), 1u);
        return records.empty() ? std::string("?") : records[0].substr(30);
    };
    const auto dateOf = [&](const std::string& header) { return dateOfBytes(EncodeCp932(header)); };
    // Numbers with blanks around them get leading zeros.
    EXPECT_EQ(dateOf(HeaderLine("2001", "5", "6")), "20010506");
    EXPECT_EQ(dateOf(HeaderLine("  99 ", "12", "31")), "00991231");
    EXPECT_EQ(dateOf(HeaderLine("2001", "4.4", " 7 ")), "20010407");
    // Texts that are not numbers are copied unchanged, blanks included.
    EXPECT_EQ(dateOf(HeaderLine("2001", "ab", "6")), "2001  ab06");
    EXPECT_EQ(dateOf(HeaderLine("2001", "五", "6")), "2001  五06");
    EXPECT_EQ(dateOf(HeaderLine("2001", "", "6")), "2001    06");
    EXPECT_EQ(dateOf(HeaderLine("1e999999", "1e2", "-3")), "1e999999100-03");

    // A double-byte character takes two bytes: the year moves by one
    // column but stays in bytes 11-18.
    EXPECT_EQ(dateOf("Kestrava全    2001"), "2001");
    EXPECT_EQ(dateOf("Kestrava ｱ    2001"), "2001");
    // Byte 10 is not part of the year.
    EXPECT_EQ(dateOf("Kestrava 2001   "), "0001");
    // A double-byte character across the start of a field: the field
    // begins with its trail byte, decoded on its own.
    EXPECT_EQ(dateOf("Kestrava 年   2001"), "N   2001");
    // Short headers give fewer bytes; an odd last byte is in no field.
    EXPECT_EQ(dateOf("Kestrava  2001"), "2001");
    EXPECT_EQ(dateOf("Kestrava  200"), "0020");
    const std::string toMonth = EncodeCp932(HeaderLine("2001", "5", "6")).substr(0, 48);
    EXPECT_EQ(dateOfBytes(toMonth + "123"), "200112");
    EXPECT_EQ(dateOfBytes(toMonth + "1234"), "20011234");
}

TEST_F(TicketReader, LineKinds) {
    const std::string data = DataLine("札幌1R", kNoSlots, RaceData({}));
    const std::string race = RaceData({});
    const auto records = RecordsOf({
        HeaderLine(2001, 5, 6),
        // The product name in another case is no header.
        "KESTRAVA  " + HeaderLine(1999, 1, 1).substr(10),
        data,
        // A line with a bar and the product name is a data line.
        DataLine("Kestrava", kNoSlots, race),
        "",
        "ポポポ no bar here",  // 0x7C inside ポ is no bar
        "   1R  01-02 …",
    });
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], race + "0" + "20010506");
    EXPECT_EQ(records[1], race + "0" + "20010506");
}

TEST_F(TicketReader, DataLineColumnsCountCharacters) {
    const std::string race = RaceData({});
    const auto records = RecordsOf({
        HeaderLine(2001, 5, 6),
        // ポ's second byte is 0x7C; the real bar comes later.
        DataLine("ポ11R", kThreeSlots, race),
        // Full-width spaces make a slot filled.
        DataLine("札幌2R", {"　　　　　", "", "", "", "", ""}, race),
        // All six slots filled, bar further right.
        DataLine("札幌3R", {"01-02", "03-04", "05-06", "07-08", "09-10", "11-12"}, race, 60),
        // Half-width katakana are single bytes and single columns.
        DataLine("ｻｯﾎﾟﾛ4R", {"", "01-02", "", "", "", ""}, race),
    });
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0], race + "3" + "20010506");
    EXPECT_EQ(records[1], race + "1" + "20010506");
    EXPECT_EQ(records[2], race + "6" + "20010506");
    EXPECT_EQ(records[3], race + "1" + "20010506");
}

TEST_F(TicketReader, ShortAndOddDataLines) {
    const auto records = RecordsOf({
        HeaderLine(2001, 5, 6),
        // 20 columns with the bar inside: the four slots past the end count
        // as filled, the slot at 9 is blank and the one at 15 filled.
        "札幌11R        01-02|",
        // Fewer than 29 characters after the bar: a shorter record.
        test::LeftAlign("札幌11R", 44) + "| 0102",
        // Bar at the last and second-to-last column.
        std::string(50, ' ') + "|",
        std::string(50, ' ') + "| ",
        // Only a bar: every slot past the end.
        "|",
        // A second bar is data.
        std::string(44, ' ') + "| 01|02",
        // Characters after the 29 race-data characters are not read.
        std::string(44, ' ') + "| " + RaceData({}) + "XYZ",
        // Double-byte characters in the race data stay characters.
        std::string(44, ' ') + "| 札幌",
    });
    ASSERT_EQ(records.size(), 8u);
    EXPECT_EQ(records[0], "520010506");
    EXPECT_EQ(records[1], "0102020010506");
    EXPECT_EQ(records[2], "020010506");
    EXPECT_EQ(records[3], "020010506");
    EXPECT_EQ(records[4], "620010506");
    EXPECT_EQ(records[5], "01|02020010506");
    EXPECT_EQ(records[6], RaceData({}) + "020010506");
    EXPECT_EQ(records[7], "札幌020010506");
}

TEST_F(TicketReader, DataBeforeAnyHeaderHasNoDate) {
    const std::string race = RaceData({});
    const auto records = RecordsOf({DataLine("札幌1R", kNoSlots, race), HeaderLine(2001, 5, 6),
                                    DataLine("札幌2R", kNoSlots, race)});
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], race + "0");
    EXPECT_EQ(records[0].size(), 30u);
    EXPECT_EQ(records[1], race + "0" + "20010506");
    // The empty date is listed once, after the real ones.
    EXPECT_EQ(state.Loaded.DateList, (std::vector<std::string>{"20010506", ""}));
}

TEST_F(TicketReader, DateCarriesOverToTheNextFileInNameOrder) {
    const std::string race = RaceData({});
    // Upper-cased names order the files: p20010505 before P20010506 before
    // P20010507, whatever the directory's own order or the letter case.
    Write("P20010506Q1RN.txt", {DataLine("中山1R", kNoSlots, race)});
    Write("p20010505q1rn.TXT", {HeaderLine(2001, 5, 5), DataLine("東京1R", kNoSlots, race)});
    Write("P20010507Q1RN.txt", {HeaderLine(2001, 5, 7), DataLine("京都1R", kNoSlots, race)});
    Load();
    EXPECT_EQ(
        state.Loaded.Files,
        (std::vector<std::string>{"p20010505q1rn.TXT", "P20010506Q1RN.txt", "P20010507Q1RN.txt"}));
    const auto records = Records(state.Loaded);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].substr(30), "20010505");
    EXPECT_EQ(records[1].substr(30), "20010505");  // no header of its own
    EXPECT_EQ(records[2].substr(30), "20010507");
}

TEST_F(TicketReader, LineEnds) {
    const std::string header = EncodeCp932(HeaderLine(2001, 5, 6));
    const std::string data = EncodeCp932(DataLine("札幌1R", kNoSlots, RaceData({})));
    const std::string record = RaceData({}) + "0" + "20010506";

    // A lone CR ends a line; so does CR LF; the last line needs no end.
    EXPECT_EQ(RecordsOfBytes(header + "\r" + data + "\r\n\r\n" + data + "\r\r" + data),
              std::vector<std::string>(3, record));
    // A lone LF does not end a line: header and data are one data line,
    // read before any header.
    const auto joined = RecordsOfBytes(header + "\n" + data + "\r\n");
    ASSERT_EQ(joined.size(), 1u);
    EXPECT_EQ(joined[0].substr(0, 29), RaceData({}));
    EXPECT_EQ(joined[0].size(), 30u);
    // LF CR: the LF belongs to the line before.
    EXPECT_EQ(RecordsOfBytes(header + "\n\r" + data), std::vector<std::string>{record});
}

TEST_F(TicketReader, InvalidBytesDoNotStopTheLoad) {
    const std::string data = EncodeCp932(DataLine("札幌1R", kNoSlots, RaceData({})));
    // A lone lead byte at the end of a line, a lead byte before a bar, a bad
    // trail byte in the header before the year.
    const std::string bytes = "Kestrava\x85 " + std::string("    2001") + "\r\n" + data +
                              "\x81\r\n" + std::string(44, ' ') + "\x85| 0102\r\n";
    const auto records = RecordsOfBytes(bytes);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], RaceData({}) + "0" + "2001");
    EXPECT_EQ(records[1], "0102" + std::string("0") + "2001");

    // Every pair of bytes, with the lines ended by CR: nothing crashes and
    // the bytes after a bad one are read.
    std::string noise;
    for (int first = 0; first < 256; ++first) {
        for (int second = 0; second < 256; ++second) {
            noise += static_cast<char>(first);
            noise += static_cast<char>(second);
            if (second % 16 == 0) noise += "| 0101\r";
        }
    }
    WriteBytes(folder / "P20010507Q1RN.txt", noise);
    Load();
    EXPECT_GT(state.RecordCount(), 3000);
}

#ifndef _WIN32  // symbolic links need a privilege on Windows; its hidden files are tested in
                // windows_files_test.cpp
TEST_F(TicketReader, MatchesPlainFilesByMaskCaseInsensitively) {
    const std::string race = RaceData({});
    const std::vector<std::string> lines = {HeaderLine(2001, 5, 6),
                                            DataLine("札幌1R", kNoSlots, race)};
    Write("P20010506Q1RN.txt", lines);
    Write("p2q1rn.txt", lines);
    Write("PQ1RN.TXT", lines);
    Write("P20010506T5PB.txt", lines);      // another pattern
    Write("P20010506Q1RN.txt.bak", lines);  // not ending in the mask
    Write("XP20010506Q1RN.txt", lines);
    std::filesystem::create_directory(folder / "P_folder_Q1RN.txt");
    std::filesystem::create_symlink(folder / "P20010506Q1RN.txt", folder / "P_link_Q1RN.txt");
    std::filesystem::create_symlink(folder / "P_loop_Q1RN.txt", folder / "P_loop_Q1RN.txt");
    std::filesystem::create_symlink(folder / "missing", folder / "P_dangling_Q1RN.txt");
    std::filesystem::create_symlink(folder / "P_folder_Q1RN.txt", folder / "P_dirlink_Q1RN.txt");

    const auto names = ListPatternFiles(state.DataFolder, state.PatternFileMask);
    ASSERT_TRUE(names.has_value());
    // Upper-cased, '_' (0x5F) sorts after 'Q' (0x51).
    EXPECT_EQ(*names, (std::vector<std::string>{"P20010506Q1RN.txt", "p2q1rn.txt", "PQ1RN.TXT",
                                                "P_link_Q1RN.txt"}));
    Load();
    EXPECT_EQ(state.RecordCount(), 4);

    // Hidden files never match, even when the mask would take them.
    Write(".hiddenQ1RN.txt", lines);
    state.PatternFileMask = "*Q1RN.txt";
    const auto all = ListPatternFiles(state.DataFolder, state.PatternFileMask);
    ASSERT_TRUE(all.has_value());
    EXPECT_EQ(all->size(), 5u);  // the four and XP20010506Q1RN.txt
}
#endif

TEST_F(TicketReader, MissingFilesAndFolders) {
    EXPECT_EQ(LoadAndCommit().status, LoadStatus::NotFound);
    Write("P20010506T5PB.txt", {HeaderLine(2001, 5, 6)});
    EXPECT_EQ(LoadAndCommit().status, LoadStatus::NotFound);
    Write("P20010506Q1RN.txt", {HeaderLine(2001, 5, 6)});
    EXPECT_EQ(LoadAndCommit().status, LoadStatus::Loaded);

    // Nothing to find in a folder that is not there; read anyway, it is
    // named with the reason.
    const std::string nowhere = (folder / "no such folder").string();
    EXPECT_EQ(LoadPattern(nowhere, state.PatternFileMask).status, LoadStatus::NotFound);
    std::string reason;
    EXPECT_FALSE(ListPatternFiles(nowhere, state.PatternFileMask, &reason).has_value());
    EXPECT_EQ(reason, "ﾌｫﾙﾀﾞが見つかりません");
    LoadedData data;
    const LoadResult result = ReadPatternFiles(nowhere, state.PatternFileMask, data);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "ﾌｫﾙﾀﾞ「" + nowhere + "」の中を読めません（" + reason + "）。");
}

TEST_F(TicketReader, AFailedExistenceTestKeepsTheOldData) {
    Write("P20010506Q1RN.txt",
          {HeaderLine(2001, 5, 6), DataLine("札幌1R", kNoSlots, RaceData({.venue = 9}))});
    Load();
    const LoadedData before = state.Loaded;
    state.PatternFileMask = "P*Z3TB.txt";
    EXPECT_EQ(LoadAndCommit().status, LoadStatus::NotFound);
    ExpectUnchanged(before, state.Loaded);
    EXPECT_EQ(state.RecordCount(), 1);
}

TEST(JoinFolderAndName, AddsOneSeparator) {
    const std::string sep(1, JoinFolderAndName("a", "b")[1]);
    EXPECT_EQ(JoinFolderAndName("data", "P1Q1RN.txt"), "data" + sep + "P1Q1RN.txt");
    EXPECT_EQ(JoinFolderAndName("/", "P1Q1RN.txt"), "/P1Q1RN.txt");
    EXPECT_EQ(JoinFolderAndName("data/", "P1Q1RN.txt"), "data/P1Q1RN.txt");
}

TEST_F(TicketReader, AReloadReplacesEverything) {
    Write("P20010506Q1RN.txt",
          {HeaderLine(2001, 5, 6), DataLine("札幌1R", kNoSlots, RaceData({.venue = 1}))});
    Write("P20020707T5PB.txt", {HeaderLine(2002, 7, 7),
                                DataLine("函館1R", kNoSlots, RaceData({.venue = 2, .race = 3}))});
    Load();
    state.PatternFileMask = "P*T5PB.txt";
    Load();
    EXPECT_EQ(state.RecordCount(), 1);
    EXPECT_EQ(state.Loaded.VenueList, std::vector<std::int16_t>{2});
    EXPECT_EQ(state.Loaded.RaceList, std::vector<std::int16_t>{3});
    EXPECT_EQ(state.Loaded.DateList, std::vector<std::string>{"20020707"});
    EXPECT_EQ(state.Loaded.Files, std::vector<std::string>{"P20020707T5PB.txt"});

    // A pattern without data lines empties records and lists.
    Write("P20030303F2RB.txt", {HeaderLine(2003, 3, 3)});
    state.PatternFileMask = "P*F2RB.txt";
    Load();
    EXPECT_EQ(state.RecordCount(), 0);
    EXPECT_TRUE(state.Loaded.VenueList.empty());
    EXPECT_TRUE(state.Loaded.DistanceList.empty());
    EXPECT_TRUE(state.Loaded.DateList.empty());
}

#ifndef _WIN32  // /proc/self/mem; the Windows counterpart, a locked file, is in
                // windows_files_test.cpp
TEST_F(TicketReader, AFailedLoadKeepsTheOldDataAndNamesTheFile) {
    Write("P20010506Q1RN.txt",
          {HeaderLine(2001, 5, 6), DataLine("札幌1R", kNoSlots, RaceData({.venue = 9}))});
    Load();
    const LoadedData before = state.Loaded;

    // A file that lists as a regular file but cannot be read. Permissions
    // do not stop root, so it reads /proc/self/mem, whose first page is
    // never mapped.
    const auto bad = folder / "P20010507Q1RN.txt";
    std::filesystem::create_symlink("/proc/self/mem", bad);
    Write("P20010508Q1RN.txt", {HeaderLine(2001, 5, 8)});
    const PatternLoad result = LoadAndCommit();
    EXPECT_EQ(result.status, LoadStatus::Failed);
    EXPECT_NE(result.message.find(bad.string()), std::string::npos) << result.message;
    EXPECT_EQ(result.message.find('\n'), std::string::npos);
    ExpectUnchanged(before, state.Loaded);
}
#endif

TEST_F(TicketReader, TooManyDatesEndTheLoadAndKeepTheOldData) {
    Write("P20010506Q1RN.txt",
          {HeaderLine(2001, 5, 6), DataLine("札幌1R", kNoSlots, RaceData({.venue = 9}))});
    Load();
    const LoadedData before = state.Loaded;

    // 32768 distinct dates: one more than a 16-bit count holds.
    const std::string data = EncodeCp932(DataLine("札幌1R", kNoSlots, RaceData({})));
    std::string bytes;
    for (int day = 0; day < 32768; ++day) {
        bytes += "Kestrava  " + std::to_string(10000000 + day) + "\r\n" + data + "\r\n";
    }
    WriteBytes(folder / "P20010507Q1RN.txt", bytes);
    const PatternLoad result = LoadAndCommit();
    EXPECT_EQ(result.status, LoadStatus::Failed);
    EXPECT_NE(result.message.find("P20010507Q1RN.txt"), std::string::npos) << result.message;
    EXPECT_NE(result.message.find("32767"), std::string::npos) << result.message;
    ExpectUnchanged(before, state.Loaded);

    // 32767 dates, the first file's included, fit.
    bytes.resize(bytes.size() / 32768 * 32766);
    WriteBytes(folder / "P20010507Q1RN.txt", bytes);
    Load();
    EXPECT_EQ(state.Loaded.DateList.size(), 32767u);
}

// A single pass (one file after another) hands over the records a load
// stores (reading ahead once there are many files), with the same lists and
// the same failure at the same file, and keeps no names.
TEST_F(TicketReader, AStreamedReadHandsOverWhatALoadStores) {
    struct Collect final : RecordSink {
        std::vector<std::string> records;
        void Add(std::string_view record) override { records.emplace_back(record); }
    };
    for (const int files : {2, 300}) {
        std::vector<std::string> names;
        for (int i = 0; i < files; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "P2001%04dQ1RN.txt", i);
            names.push_back(name);
            // Every third file has no header: its races take the date before.
            std::vector<std::string> lines = {
                DataLine("東京12R", kNoSlots, RaceData({.win = std::to_string(i)})), "短い|行",
                DataLine("ｿ|", kNoSlots, RaceData({}))};
            if (i % 3 != 0) lines.insert(lines.begin(), HeaderLine(2001, 1 + i % 12, 1 + i % 28));
            Write(name, lines);
        }
        for (const bool broken : {false, true}) {
            if (broken) std::filesystem::remove(folder / names[files / 2]);
            LoadedData stored, streamed;
            Collect sink;
            const LoadResult load = ReadListedFiles(folder.PathText(), names, stored);
            const LoadResult stream = StreamListedFiles(folder.PathText(), names, streamed, sink);
            EXPECT_EQ(load.ok, !broken);
            EXPECT_EQ(stream.ok, load.ok);
            EXPECT_EQ(stream.message, load.message);
            EXPECT_EQ(sink.records, Records(stored));
            EXPECT_EQ(streamed.VenueList, stored.VenueList);
            EXPECT_EQ(streamed.DateList, stored.DateList);
            EXPECT_TRUE(streamed.Records.Empty());
            EXPECT_TRUE(streamed.Files.empty());
        }
        for (const std::string& name : names) std::filesystem::remove(folder / name);
    }
}

// A load stopped part way, one with files of megabytes, and one whose
// files change once it has begun: reading ahead neither runs past the stop,
// nor stalls on large files, nor reads a file too early.
TEST_F(TicketReader, ManyFilesStopAndChangeAsTheLoadGoes) {
    std::vector<std::string> names;
    for (int i = 0; i < 300; ++i) {
        names.push_back("P2001" + std::to_string(1000 + i) + "Q1RN.txt");
        Write(names.back(), {HeaderLine(2001, 5, 6), DataLine("札幌1R", kNoSlots, RaceData({}))});
    }
    std::stop_source stop;
    LoadedData data;
    const LoadResult stopped = ReadListedFiles(
        folder.PathText(), names, data,
        [&](std::size_t done, std::size_t) {
            if (done == 100) stop.request_stop();
        },
        stop.get_token());
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(data.Records.Size(), 100u);

    // A few files of megabytes among them, more than the reading keeps in
    // hand at once.
    for (const int big : {10, 11, 12}) {
        WriteBytes(folder / names[big],
                   "Kestrava  20010506\r\n" + std::string(3'000'000, ' ') + "\r\n");
    }
    const LoadResult whole = ReadListedFiles(folder.PathText(), names, data);
    EXPECT_TRUE(whole.ok) << whole.message;
    EXPECT_EQ(data.Records.Size(), 297u);

    const LoadResult changed =
        ReadListedFiles(folder.PathText(), names, data, [&](std::size_t done, std::size_t) {
            if (done == 0) std::filesystem::remove(folder / names[1]);
        });
    EXPECT_FALSE(changed.ok);
    EXPECT_EQ(changed.file, (folder / names[1]).string());
    EXPECT_EQ(data.Records.Size(), 1u);
}

}  // namespace
}  // namespace lomi
