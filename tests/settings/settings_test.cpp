#include "settings/settings.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "child_process.h"
#include "settings/executable_folder.h"
#include "settings/ini.h"
#include "support/temp_folder.h"

namespace lomi {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;
namespace fs = std::filesystem;

class SettingsTest : public ::testing::Test {
protected:
    ProgramState Load(std::string_view bytes) {
        WriteBytes(file_, bytes);
        return Load();
    }

    ProgramState Load() {
        ProgramState state;
        LoadSettings(state, Path(), "/home/user/current");
        return state;
    }

    std::int16_t LoadCon2(const std::string& value) {
        return Load("[DEF]\r\nCON2=" + value + "\r\n").Pattern.axisRank;
    }

    std::string Path() const { return file_.string(); }

    TempFolder folder_;
    fs::path file_ = folder_ / "Lomi.ini";
};

TEST_F(SettingsTest, NoFileGivesDefaultsAndTheFirstSaveCreatesIt) {
    ProgramState state = Load();
    EXPECT_EQ(state.DataFolder, "/home/user/current");
    EXPECT_EQ(state.Pattern.axisIndex, 7);
    EXPECT_EQ(state.Pattern.axisRank, 1);
    EXPECT_EQ(state.Pattern.partnerIndex, 3);
    EXPECT_EQ(state.Pattern.betStyle, 1);
    EXPECT_FALSE(fs::exists(file_)) << "loading never creates the file";

    const SaveResult result = SaveSettings(state, Path());
    EXPECT_TRUE(result.ok) << result.message;
    EXPECT_EQ(ReadBytes(file_),
              "[DEF]\r\nPATH=/home/user/current\r\nCON1=7\r\nCON2=1\r\nCON3=3\r\nCON4=1\r\n");
}

TEST_F(SettingsTest, SectionOrKeysMissingGiveDefaults) {
    ProgramState state = Load("[OTHER]\r\nPATH=C:\\x\r\nCON1=2\r\n");
    EXPECT_EQ(state.DataFolder, "/home/user/current");
    EXPECT_EQ(state.Pattern.axisIndex, 7);

    state = Load("[DEF]\r\nPATH=\r\nCON3=5\r\n");
    EXPECT_EQ(state.DataFolder, "/home/user/current");
    EXPECT_EQ(state.Pattern.axisIndex, 7);
    EXPECT_EQ(state.Pattern.partnerIndex, 5);
    EXPECT_EQ(state.Pattern.betStyle, 1);
}

TEST_F(SettingsTest, ConValuesReadAsRoundedNumbers) {
    EXPECT_EQ(LoadCon2("2.5"), 2);
    EXPECT_EQ(LoadCon2("3.5"), 4);
    EXPECT_EQ(LoadCon2(" 3"), 3);
    EXPECT_EQ(LoadCon2("abc"), 0);
    EXPECT_EQ(LoadCon2(""), 1);
    EXPECT_EQ(LoadCon2("\"\""), 1);
    EXPECT_EQ(LoadCon2("-1"), -1);
    EXPECT_EQ(LoadCon2("2 5"), 25);
    EXPECT_EQ(LoadCon2("1e1"), 10);
    EXPECT_EQ(LoadCon2("32767"), 32767);
    EXPECT_EQ(LoadCon2("-32768"), -32768);
}

TEST_F(SettingsTest, ConOutsideSixteenBitsReadsAsNoChoice) {
    EXPECT_EQ(LoadCon2("99999"), 0);
    EXPECT_EQ(LoadCon2("32768"), 0);
    EXPECT_EQ(LoadCon2("-32769"), 0);
    EXPECT_EQ(LoadCon2("1e300"), 0);
    EXPECT_EQ(LoadCon2("32767.5"), 0);
    // The rest of the file still loads.
    const ProgramState state = Load("[DEF]\r\nCON1=70000\r\nCON2=2\r\nCON3=-40000\r\nCON4=2\r\n");
    EXPECT_EQ(state.Pattern.axisIndex, 0);
    EXPECT_EQ(state.Pattern.axisRank, 2);
    EXPECT_EQ(state.Pattern.partnerIndex, 0);
    EXPECT_EQ(state.Pattern.betStyle, 2);
}

TEST_F(SettingsTest, DriveRootPathIsKeptUnchanged) {
    const std::string bytes = "[DEF]\r\nPATH=D:\\\r\nCON1=1\r\nCON2=2\r\nCON3=3\r\nCON4=2\r\n";
    const ProgramState state = Load(bytes);
    EXPECT_EQ(state.DataFolder, "D:\\");
    ASSERT_TRUE(SaveSettings(state, Path()).ok);
    EXPECT_EQ(ReadBytes(file_), bytes);
}

TEST_F(SettingsTest, JapaneseFolderRoundTripsThroughCodePage932) {
    // C:\競馬\ソフト\予想 as code page 932 bytes; ソ and 予 end in a backslash byte.
    const std::string folderBytes =
        "C:\\\x8b\xa3\x94\x6e\\\x83\x5c\x83\x74\x83\x67\\\x97\x5c\x91\x7a";
    const std::string bytes =
        "[DEF]\r\nPATH=" + folderBytes + "\r\nCON1=7\r\nCON2=1\r\nCON3=3\r\nCON4=1\r\n";
    ProgramState state = Load(bytes);
    EXPECT_EQ(state.DataFolder, "C:\\競馬\\ソフト\\予想");
    ASSERT_TRUE(SaveSettings(state, Path()).ok);
    EXPECT_EQ(ReadBytes(file_), bytes);

    state.DataFolder = "D:\\データ";
    ASSERT_TRUE(SaveSettings(state, Path()).ok);
    EXPECT_NE(ReadBytes(file_).find("PATH=D:\\\x83\x66\x81\x5b\x83\x5e\r\n"), std::string::npos);
    EXPECT_EQ(Load().DataFolder, "D:\\データ");
}

TEST_F(SettingsTest, KeysInOtherLetterCaseAreFoundAndRewrittenInPlace) {
    const ProgramState state =
        Load("[def]\r\npath=E:\\data\r\ncon1=2\r\nCon2=3\r\ncON3=4\r\nCon4=2\r\n");
    EXPECT_EQ(state.DataFolder, "E:\\data");
    EXPECT_EQ(state.Pattern.axisIndex, 2);
    EXPECT_EQ(state.Pattern.axisRank, 3);
    EXPECT_EQ(state.Pattern.partnerIndex, 4);
    EXPECT_EQ(state.Pattern.betStyle, 2);

    ProgramState changed = state;
    changed.Pattern.axisIndex = 5;
    ASSERT_TRUE(SaveSettings(changed, Path()).ok);
    EXPECT_EQ(ReadBytes(file_),
              "[def]\r\npath=E:\\data\r\ncon1=5\r\nCon2=3\r\ncON3=4\r\nCon4=2\r\n");
}

TEST_F(SettingsTest, SaveKeepsEveryOtherLineByteForByte) {
    const std::string before =
        "; Lomi settings, edited by hand\r\n"
        "[Window]\r\n"
        "Left = 120\r\n"
        "\r\n"
        "[DEF]\r\n"
        "PATH = \"C:\\Old Data\"\r\n"
        ";CON1=3 was better\r\n"
        "CON1\t=\t2\r\n"
        "CON1=6\r\n"
        "Unknown=\x83\x66\r\n"
        "CON3=3\n"
        "\r\n"
        "[DEF]\r\n"
        "CON2=9\r\n"
        "[Other]\r"
        "CON2=8";
    ProgramState state = Load(before);
    EXPECT_EQ(state.DataFolder, "C:\\Old Data");
    EXPECT_EQ(state.Pattern.axisIndex, 2);
    EXPECT_EQ(state.Pattern.axisRank, 1) << "only the first DEF section counts";

    state.Pattern.axisIndex = 4;
    state.Pattern.partnerIndex = -1;
    ASSERT_TRUE(SaveSettings(state, Path()).ok);
    EXPECT_EQ(ReadBytes(file_),
              "; Lomi settings, edited by hand\r\n"
              "[Window]\r\n"
              "Left = 120\r\n"
              "\r\n"
              "[DEF]\r\n"
              "PATH = \"C:\\Old Data\"\r\n"
              ";CON1=3 was better\r\n"
              "CON1=4\r\n"
              "CON1=6\r\n"
              "Unknown=\x83\x66\r\n"
              "CON3=-1\r\n"
              "CON2=1\r\n"
              "CON4=1\r\n"
              "\r\n"
              "[DEF]\r\n"
              "CON2=9\r\n"
              "[Other]\r"
              "CON2=8");
}

TEST_F(SettingsTest, UnchangedFolderKeepsItsBytesEvenWhenTheyDoNotDecode) {
    // 0x85 0x40 is a byte pair code page 932 gives no character; such a
    // folder is not saved as replacement characters.
    const std::string bytes =
        "[DEF]\r\nPATH=C:\\\x85\x40\r\nCON1=7\r\nCON2=1\r\nCON3=3\r\nCON4=1\r\n";
    ProgramState state = Load(bytes);
    EXPECT_NE(state.DataFolder, "C:\\");
    const SaveResult result = SaveSettings(state, Path());
    EXPECT_TRUE(result.ok) << result.message;
    EXPECT_EQ(ReadBytes(file_), bytes);
}

#ifndef _WIN32  // POSIX permission bits
TEST_F(SettingsTest, SaveKeepsTheFilesPermissions) {
    WriteBytes(file_, "[DEF]\r\nCON1=1\r\n");
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(file_, mode);
    ASSERT_TRUE(SaveSettings(Load(), Path()).ok);
    EXPECT_EQ(fs::status(file_).permissions(), mode);
}
#endif

TEST_F(SettingsTest, LongPathIsCutTo254Bytes) {
    const std::string folder = "C:\\" + std::string(297, 'p');
    EXPECT_EQ(Load("[DEF]\r\nPATH=" + folder + "\r\n").DataFolder, folder.substr(0, 254));
}

TEST_F(SettingsTest, FolderCodePage932CannotHoldKeepsThePreviousPath) {
    const std::string before = "[DEF]\r\nPATH=C:\\old\r\nCON1=7\r\nCON2=1\r\nCON3=3\r\nCON4=1\r\n";
    ProgramState state = Load(before);
    state.DataFolder = "/home/user/r\xC3\xA9sultats";  // é has no code page 932 form
    state.Pattern.axisIndex = 2;
    const SaveResult result = SaveSettings(state, Path());
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find(state.DataFolder), std::string::npos) << result.message;
    EXPECT_NE(result.message.find("PATH"), std::string::npos) << result.message;
    EXPECT_EQ(ReadBytes(file_),
              "[DEF]\r\nPATH=C:\\old\r\nCON1=2\r\nCON2=1\r\nCON3=3\r\nCON4=1\r\n");

    // Without a file the other keys are still saved; the next start uses the
    // current directory.
    fs::remove(file_);
    EXPECT_FALSE(SaveSettings(state, Path()).ok);
    EXPECT_EQ(ReadBytes(file_), "[DEF]\r\nCON1=2\r\nCON2=1\r\nCON3=3\r\nCON4=1\r\n");
}

TEST_F(SettingsTest, FolderWithBlanksAroundItRoundTrips) {
    ProgramState state = Load();
    state.DataFolder = "/home/user/ data ";
    ASSERT_TRUE(SaveSettings(state, Path()).ok);
    EXPECT_EQ(Load().DataFolder, "/home/user/ data ");
}

#ifndef _WIN32  // POSIX permission bits
TEST_F(SettingsTest, FailedSaveIsReportedAndDamagesNothing) {
    const std::string before = "[DEF]\r\nPATH=C:\\old\r\nCON1=7\r\n";
    ProgramState state = Load(before);
    state.Pattern.axisIndex = 3;
    fs::permissions(folder_.Path(),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const std::string path = Path();
    const std::string outcome = test::RunAsUnprivilegedChild([&] {
        const SaveResult result = SaveSettings(state, path);
        return (result.ok ? "1" : "0") + result.message;
    });
    ASSERT_FALSE(outcome.empty());
    EXPECT_EQ(outcome[0], '0');
    EXPECT_NE(outcome.find(path), std::string::npos) << outcome;
    EXPECT_EQ(ReadBytes(file_), before);
}
#endif

TEST(IniFilePathTest, OneSeparatorBeforeTheFileName) {
    EXPECT_EQ(IniFilePathIn("C:\\"), "C:\\Lomi.ini");
    EXPECT_EQ(IniFilePathIn("/"), "/Lomi.ini");
#ifdef _WIN32
    EXPECT_EQ(IniFilePathIn("C:\\Lomi"), "C:\\Lomi\\Lomi.ini");
#else
    EXPECT_EQ(IniFilePathIn("/opt/lomi"), "/opt/lomi/Lomi.ini");
#endif
}

TEST(IniFilePathTest, BesideTheExecutableNotInTheCurrentDirectory) {
    TempFolder folder;
    const fs::path before = fs::current_path();
    fs::current_path(folder.Path());
    const std::string path = IniFilePathIn(ExecutableFolder());
    fs::current_path(before);
    EXPECT_EQ(fs::path(path).filename(), "Lomi.ini");
    EXPECT_NE(fs::path(path).parent_path(), folder.Path());
#ifdef _WIN32
    EXPECT_TRUE(fs::exists(fs::path(path).parent_path() / "lomi_core_tests.exe"));
#else
    EXPECT_TRUE(fs::exists(fs::path(path).parent_path() / "lomi_core_tests"));
#endif
}

}  // namespace
}  // namespace lomi
