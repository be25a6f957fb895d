// Settings files that were edited, copied or damaged: reading them gives
// values and never fails, and saving over them changes only the lines of
// the five keys or says that it could not save.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "child_process.h"
#include "settings/profile_text.h"
#include "settings/settings.h"
#include "support/temp_folder.h"

namespace lomi {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

const std::string kCurrent = "/home/user/current";

// The lines of a file as the profile format splits them (CR LF, lone CR or
// lone LF), without their ends.
std::vector<std::string> Lines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(bytes.substr(start));
            break;
        }
        lines.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
    }
    return lines;
}

// Whether every line of before, except those holding one of the five keys
// of DEF, is still in after, in the same order.
bool OtherLinesKept(std::string_view before, std::string_view after,
                    const std::vector<std::string>& replaced) {
    const std::vector<std::string> old = Lines(before);
    const std::vector<std::string> now = Lines(after);
    std::size_t next = 0;
    for (const std::string& line : old) {
        if (std::find(replaced.begin(), replaced.end(), line) != replaced.end()) continue;
        while (next < now.size() && now[next] != line) ++next;
        if (next == now.size()) return false;
        ++next;
    }
    return true;
}

ProgramState Chosen() {
    ProgramState state;
    state.DataFolder = "/data/競馬";
    state.Pattern.axisIndex = 1, state.Pattern.axisRank = 5, state.Pattern.partnerIndex = 6,
    state.Pattern.betStyle = 2;
    return state;
}

void ExpectValues(const ProgramState& state, const std::string& folder, std::int16_t con1,
                  std::int16_t con2, std::int16_t con3, std::int16_t con4) {
    EXPECT_EQ(state.DataFolder, folder);
    EXPECT_EQ(state.Pattern.axisIndex, con1);
    EXPECT_EQ(state.Pattern.axisRank, con2);
    EXPECT_EQ(state.Pattern.partnerIndex, con3);
    EXPECT_EQ(state.Pattern.betStyle, con4);
}

class BadSettingsFiles : public ::testing::Test {
protected:
    ProgramState Load() {
        ProgramState state;
        LoadSettings(state, Path(), kCurrent);
        return state;
    }

    // Saves the chosen values over bytes and checks that the file then
    // holds them and every line it held before besides the replaced ones.
    void SaveOver(const std::string& bytes, const std::vector<std::string>& replaced = {}) {
        WriteBytes(file_, bytes);
        const SaveResult result = SaveSettings(Chosen(), Path());
        ASSERT_TRUE(result.ok) << result.message;
        const std::string after = ReadBytes(file_);
        EXPECT_TRUE(OtherLinesKept(bytes, after, replaced));
        ExpectValues(Load(), "/data/競馬", 1, 5, 6, 2);
        // A second save finds every value in place and writes nothing new.
        ASSERT_TRUE(SaveSettings(Chosen(), Path()).ok);
        EXPECT_EQ(ReadBytes(file_), after);
    }

    std::string Path() const { return file_.string(); }

    TempFolder folder_;
    fs::path file_ = folder_ / "Lomi.ini";
};

TEST_F(BadSettingsFiles, EmptyFilesReadAsDefaults) {
    for (const std::string bytes : {"", "\r\n\r\n", "[DEF]", "[DEF]\r\nPATH=\r\nCON1=\r\n"}) {
        WriteBytes(file_, bytes);
        ExpectValues(Load(), kCurrent, 7, 1, 3, 1);
        SaveOver(bytes, {"PATH=", "CON1="});
    }
    // A zero-byte file is filled just as a missing one is created.
    WriteBytes(file_, "");
    ASSERT_TRUE(SaveSettings(Chosen(), Path()).ok);
    EXPECT_EQ(ReadBytes(file_),
              "[DEF]\r\nPATH=/data/\x8b\xa3\x94\x6e\r\nCON1=1\r\n"
              "CON2=5\r\nCON3=6\r\nCON4=2\r\n");
}

TEST_F(BadSettingsFiles, BinaryJunkReadsAsDefaultsAndSurvivesASave) {
    std::mt19937 random(1998);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string junk(64 << 10, '\0');
    for (char& c : junk) c = static_cast<char>(byte(random));
    WriteBytes(file_, junk);
    ExpectValues(Load(), kCurrent, 7, 1, 3, 1);
    // The section is added at the end; the junk before it stays byte for byte.
    SaveOver(junk);
    EXPECT_EQ(ReadBytes(file_).substr(0, junk.size()), junk);

    // Junk around a real section: the keys are found, the junk kept.
    const std::string middle =
        junk.substr(0, 4096) + "\r\n[DEF]\r\nPATH=/x\r\nCON1=4\r\n" + junk.substr(4096, 4096);
    WriteBytes(file_, middle);
    EXPECT_EQ(Load().DataFolder, "/x");
    EXPECT_EQ(Load().Pattern.axisIndex, 4);
    SaveOver(middle, {"PATH=/x", "CON1=4"});
}

TEST_F(BadSettingsFiles, TenMegabyteFilesReadAndSave) {
    const auto began = std::chrono::steady_clock::now();
    // Five megabytes of comments before the section, and a value line of
    // five megabytes in it: the value reads as its first 254 bytes.
    std::string comments;
    while (comments.size() < (5 << 20)) comments += "; a comment line of no meaning to anyone\r\n";
    const std::string longValue(5 << 20, 'v');
    const std::string bytes = comments + "[DEF]\r\nPATH=" + longValue + "\r\nCON1=2\r\n";
    WriteBytes(file_, bytes);
    ProgramState state = Load();
    ExpectValues(state, std::string(254, 'v'), 2, 1, 3, 1);

    // Saving the folder it read leaves the long line as it stands.
    state.Pattern.axisRank = 4;
    ASSERT_TRUE(SaveSettings(state, Path()).ok);
    const std::string after = ReadBytes(file_);
    EXPECT_EQ(after.substr(0, bytes.size()), bytes);
    EXPECT_EQ(after.substr(bytes.size()), "CON2=4\r\nCON3=3\r\nCON4=1\r\n");

    // A new folder replaces the long line.
    SaveOver(bytes, {"PATH=" + longValue, "CON1=2"});
    EXPECT_LT(ReadBytes(file_).size(), comments.size() + 200);

    // One line of ten megabytes with no line end at all.
    const std::string oneLine(10 << 20, 'x');
    WriteBytes(file_, oneLine);
    ExpectValues(Load(), kCurrent, 7, 1, 3, 1);
    ASSERT_TRUE(SaveSettings(Chosen(), Path()).ok);
    EXPECT_EQ(ReadBytes(file_), oneLine +
                                    "\r\n[DEF]\r\nPATH=/data/\x8b\xa3\x94\x6e\r\nCON1=1\r\n"
                                    "CON2=5\r\nCON3=6\r\nCON4=2\r\n");

    // The time is printed, not checked: tests assert no wall-clock figure.
    std::printf("ten-megabyte settings files: %.2f s\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count());
}

TEST_F(BadSettingsFiles, NulBytesEndAValueAndStayInTheFile) {
    using namespace std::string_literals;
    // 競馬 in code page 932 in the PATH line.
    const std::string file =
        "\0\0\0\r\n[D\0EF]\r\nPATH=/wrong\r\n"
        "[DEF]\r\nPATH=/data/\x8b\xa3\x94\x6e\0old\r\nCON1=\0 5\r\n"
        "CON2=5\0\r\nCO\0N3=6\r\nCON4=2\0\0\0"s;
    WriteBytes(file_, file);
    // A NUL ends the value; a value that is empty before it is the default;
    // a NUL inside a section or key name makes it another name.
    ExpectValues(Load(), "/data/競馬", 7, 5, 3, 2);

    // The PATH and CON2 lines already read as the values and stay as they
    // are, NULs and all; CON1 and CON3 are written.
    SaveOver(file, {"CON1=\0 5"s});
    const std::string after = ReadBytes(file_);
    EXPECT_NE(after.find("PATH=/data/\x8b\xa3\x94\x6e\0old\r\n"s), std::string::npos);
    EXPECT_NE(after.find("CON2=5\0\r\n"s), std::string::npos);
    EXPECT_NE(after.find("CO\0N3=6\r\n"s), std::string::npos);

    // A file of nothing but NULs.
    const std::string zeros(1 << 20, '\0');
    WriteBytes(file_, zeros);
    ExpectValues(Load(), kCurrent, 7, 1, 3, 1);
    SaveOver(zeros);
}

TEST_F(BadSettingsFiles, ConValuesOutOfRangeReadAsNoChoiceAndSaveAsRead) {
    const std::string bytes = "[DEF]\r\nCON1=1" + std::string(400, '0') +
                              "\r\nCON2=-1e-400\r\nCON3=nan\r\n"
                              "CON4=\t-\t3\t.\t5\r\n";
    WriteBytes(file_, bytes);
    ProgramState state = Load();
    // Far too large, a tiny negative that rounds to 0, no number, blanks
    // anywhere in a number.
    ExpectValues(state, kCurrent, 0, 0, 0, -4);
    ASSERT_TRUE(SaveSettings(state, Path()).ok);
    ExpectValues(Load(), kCurrent, 0, 0, 0, -4);
    EXPECT_NE(ReadBytes(file_).find("CON1=0\r\nCON2=0\r\nCON3=0\r\nCON4=-4\r\n"),
              std::string::npos);
}

#ifndef _WIN32  // a file-size limit (setrlimit) stands in for a full disk
TEST_F(BadSettingsFiles, SaveThatCannotWriteLeavesTheFileWhole) {
    // A file of some size, so that a full disk stops the write part way.
    std::string bytes = "; mine\r\n[DEF]\r\nPATH=/old\r\nCON1=1\r\n";
    while (bytes.size() < (256 << 10)) bytes += "; more\r\n";
    WriteBytes(file_, bytes);
    test::OpenFolderToEveryone(folder_.PathText());
    fs::permissions(file_, fs::perms::all);
    const std::string path = Path();
    const auto save = [&] {
        const SaveResult result = SaveSettings(Chosen(), path);
        return (result.ok ? "1" : "0") + result.message;
    };
    const auto onlyTheFileLeft = [&] {
        for (const auto& entry : fs::directory_iterator(folder_.Path())) {
            if (entry.path() != file_) return false;
        }
        return true;
    };

    // A full disk: the size limit lets half of the new file be written.
    std::string outcome = test::RunAsUnprivilegedChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlim_t half = bytes.size() / 2;
        const rlimit limit{half, half};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        return save();
    });
    ASSERT_FALSE(outcome.empty());
    EXPECT_EQ(outcome[0], '0');
    EXPECT_NE(outcome.find(path), std::string::npos) << outcome;
    EXPECT_EQ(ReadBytes(file_), bytes);
    EXPECT_TRUE(onlyTheFileLeft());

    // A read-only file.
    fs::permissions(file_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    outcome = test::RunAsUnprivilegedChild(save);
    ASSERT_FALSE(outcome.empty());
    EXPECT_EQ(outcome[0], '0');
    EXPECT_NE(outcome.find(path), std::string::npos) << outcome;
    EXPECT_EQ(ReadBytes(file_), bytes);
    EXPECT_TRUE(onlyTheFileLeft());
    // Reading it is unaffected.
    ExpectValues(Load(), "/old", 1, 1, 3, 1);
}
#endif

}  // namespace
}  // namespace lomi
