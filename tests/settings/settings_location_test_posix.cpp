// Which settings file a copy of the program reads and writes: beside it when
// it can write there, else the user's own file. POSIX only: the cases turn on
// write bits, XDG_CONFIG_HOME and an unprivileged user, which Windows has not.
#include "settings/settings_location.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "child_process.h"
#include "cli/run_report.h"
#include "settings/settings.h"
#include "support/temp_folder.h"

namespace lomi {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;
using test::WriteBytes;

constexpr fs::perms kReadOnly = fs::perms::owner_read | fs::perms::owner_exec |
                                fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec;

enum class Ini { None, Writable, ReadOnly };

struct Case {
    const char* name;
    const char* programFolder;  // under the temporary folder
    bool programFolderWritable;
    Ini beside;
    bool userFileExists;
    // "beside" or "user" for each file; the data folder "current" or "home".
    const char* read;
    const char* write;
    const char* dataFolder;
    bool uninstallerBeside = false;  // the Windows installer's uninstall.exe
};

const Case kCases[] = {
    {"portable, no file yet", "portable", true, Ini::None, false, "beside", "beside", "current"},
    {"portable with its file", "portable", true, Ini::Writable, true, "beside", "beside",
     "current"},
    {"read-only folder", "opt", false, Ini::None, false, "user", "user", "home"},
    {"read-only folder, writable file", "opt", false, Ini::Writable, false, "beside", "beside",
     "current"},
    {"administrator's defaults", "opt", false, Ini::ReadOnly, false, "beside", "user", "home"},
    {"user file over the defaults", "opt", false, Ini::ReadOnly, true, "user", "user", "home"},
    {"read-only file, writable folder", "portable", true, Ini::ReadOnly, false, "beside", "user",
     "home"},
    {"installed copy, writable bin", "usr/bin", true, Ini::None, false, "user", "user", "home"},
    {"installed copy made portable", "usr/bin", true, Ini::Writable, false, "beside", "beside",
     "current"},
    {"installed by the Windows installer", "Lomi", true, Ini::None, false, "user", "user", "home",
     true},
};

TEST(SettingsLocation, BesideTheProgramWhenItCanWriteThereElseTheUsersFile) {
    for (const Case& c : kCases) {
        const TempFolder root;
        test::OpenFolderToEveryone(root.PathText());
        fs::create_directories(root / "usr/share/lomi");
        const fs::path program = root / c.programFolder;
        fs::create_directories(program);
        test::OpenFolderToEveryone(program.string());
        if (c.uninstallerBeside) WriteBytes(program / "uninstall.exe", "");
        const fs::path beside = program / "Lomi.ini";
        const fs::path user = root / "config/lomi/Lomi.ini";
        if (c.beside != Ini::None) {
            WriteBytes(beside, "[DEF]\r\n");
            fs::permissions(beside, c.beside == Ini::Writable ? fs::perms::all : kReadOnly);
        }
        if (c.userFileExists) {
            fs::create_directories(user.parent_path());
            WriteBytes(user, "[DEF]\r\n");
        }
        if (!c.programFolderWritable) fs::permissions(program, kReadOnly);

        const SettingsPlaces places{program.string(), (root / "config").string(), "/home/someone",
                                    "/work/current"};
        const std::string got = test::RunAsUnprivilegedChild([&] {
            const SettingsLocation location = LocateSettings(places);
            return location.readPath + "|" + location.writePath + "|" + location.defaultDataFolder;
        });
        const auto file = [&](const std::string& which) {
            return (which == "beside" ? beside : user).string();
        };
        const std::string folder =
            std::string(c.dataFolder) == "home" ? "/home/someone" : "/work/current";
        EXPECT_EQ(got, file(c.read) + "|" + file(c.write) + "|" + folder) << c.name;
    }
}

TEST(SettingsLocation, NoUserSettingsFolderKeepsTheFileBesideTheProgram) {
    const TempFolder root;
    fs::create_directories(root / "usr/bin");
    fs::create_directories(root / "usr/share/lomi");
    const SettingsLocation location =
        LocateSettings({(root / "usr/bin").string(), "", "/home/someone", "/work/current"});
    EXPECT_EQ(location.writePath, (root / "usr/bin/Lomi.ini").string());
}

// Sets environment variables for one test and puts them back after it.
class Environment : public ::testing::Test {
protected:
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
    }
    void Set(const std::string& name, const std::string& value) {
        const char* old = std::getenv(name.c_str());
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        ::setenv(name.c_str(), value.c_str(), 1);
    }

    TempFolder root_;

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// An installed copy run with HOME and XDG_CONFIG_HOME of its own.
class InstalledLayout : public Environment {
protected:
    void SetUp() override {
        fs::create_directories(root_ / "usr/bin");
        fs::create_directories(root_ / "usr/share/lomi");
        fs::create_directories(root_ / "home");
        fs::copy_file(test::ReportProgram(), program_);
        Set("HOME", (root_ / "home").string());
        Set("XDG_CONFIG_HOME", (root_ / "config").string());
    }

    fs::path program_ = root_ / "usr/bin/lomi-report";
};

TEST_F(InstalledLayout, FirstStartReadsTheUsersFileAndStartsInTheHomeFolder) {
    const test::ReportRun run = test::RunReport({"--show-settings"}, root_.Path(), program_);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("PATH=" + (root_ / "home").string() + "\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("FILE=" + (root_ / "config/lomi/Lomi.ini").string() + "\n"),
              std::string::npos)
        << run.out;
    EXPECT_FALSE(fs::exists(root_ / "usr/bin/Lomi.ini"));
    EXPECT_FALSE(fs::exists(root_ / "config"));
}

TEST_F(InstalledLayout, RelativeConfigHomeIsIgnored) {
    Set("XDG_CONFIG_HOME", "relative/config");
    const test::ReportRun run = test::RunReport({"--show-settings"}, root_.Path(), program_);
    EXPECT_NE(run.out.find("FILE=" + (root_ / "home/.config/lomi/Lomi.ini").string() + "\n"),
              std::string::npos)
        << run.out;
}

using SettingsFolder = Environment;

TEST_F(SettingsFolder, FirstSaveCreatesOnlyTheUsersFolderForTheOwnerOnly) {
    Set("XDG_CONFIG_HOME", (root_ / "config").string());
    const fs::path file = root_ / "config/lomi/Lomi.ini";
    ProgramState state;
    state.DataFolder = "/home/someone";
    ASSERT_TRUE(SaveSettings(state, file.string()).ok);
    EXPECT_EQ(fs::status(file.parent_path()).permissions(), fs::perms::owner_all);
    ProgramState read;
    LoadSettings(read, file.string(), "/elsewhere");
    EXPECT_EQ(read.DataFolder, "/home/someone");

    // Any other missing folder is not made.
    const fs::path other = root_ / "other/Lomi.ini";
    EXPECT_FALSE(SaveSettings(state, other.string()).ok);
    EXPECT_FALSE(fs::exists(other.parent_path()));
}

TEST_F(SettingsFolder, FolderThatCannotBeCreatedIsReportedOnSave) {
    Set("XDG_CONFIG_HOME", (root_ / "config").string());
    WriteBytes(root_ / "config", "a file where the folder should be");
    const std::string file = UserSettingsPath();
    ProgramState state;
    LoadSettings(state, file, "/home/someone");
    EXPECT_EQ(state.DataFolder, "/home/someone");
    const SaveResult result = SaveSettings(state, file);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find((root_ / "config/lomi").string()), std::string::npos)
        << result.message;
    EXPECT_EQ(test::ReadBytes(root_ / "config"), "a file where the folder should be");
}

}  // namespace
}  // namespace lomi
