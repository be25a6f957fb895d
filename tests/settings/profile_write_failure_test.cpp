#include <csignal>
#include <filesystem>
#include <random>
#include <string>

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "child_process.h"
#include "settings/profile_file.h"
#include "settings/settings.h"
#include "support/temp_folder.h"

namespace lomi {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;
namespace fs = std::filesystem;

const std::string kOld = "; hand-written\r\n[DEF]\r\nPATH=C:\\old\r\nCON1=1\r\n";

// Whether the folder holds anything besides the given file.
bool OnlyFileLeft(const TempFolder& folder, const fs::path& file) {
    for (const auto& entry : fs::directory_iterator(folder.Path())) {
        if (entry.path() != file) return false;
    }
    return true;
}

std::string Encode(const WriteResult& result) { return (result.ok ? "1" : "0") + result.message; }

class ProfileWriteFailureTest : public ::testing::Test {
protected:
    // Writes in a child without root's privileges; "1" or "0" then the message.
    std::string WriteUnprivileged() {
        const std::string path = file_.string();
        return test::RunAsUnprivilegedChild(
            [&] { return Encode(WriteProfileString(path, "DEF", "CON1", "2")); });
    }

    void ExpectFailureReported(const std::string& outcome) {
        ASSERT_FALSE(outcome.empty());
        EXPECT_EQ(outcome[0], '0');
        EXPECT_NE(outcome.find(file_.string()), std::string::npos) << outcome;
    }

    TempFolder folder_;
    fs::path file_ = folder_ / "Lomi.ini";
};

TEST_F(ProfileWriteFailureTest, ReadOnlyFileIsLeftAsItWas) {
    WriteBytes(file_, kOld);
    fs::permissions(file_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    test::OpenFolderToEveryone(folder_.PathText());
    ExpectFailureReported(WriteUnprivileged());
    EXPECT_EQ(ReadBytes(file_), kOld);
    EXPECT_TRUE(OnlyFileLeft(folder_, file_));
}

#ifndef _WIN32  // POSIX only: permission bits, FIFOs, symbolic links, setrlimit and fork
TEST_F(ProfileWriteFailureTest, UnreadableFileIsNotOverwritten) {
    WriteBytes(file_, kOld);
    fs::permissions(file_,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write);
    test::OpenFolderToEveryone(folder_.PathText());
    ExpectFailureReported(WriteUnprivileged());
    fs::permissions(file_, fs::perms::owner_read, fs::perm_options::add);
    EXPECT_EQ(ReadBytes(file_), kOld);
}
#endif

TEST_F(ProfileWriteFailureTest, MissingFolderOrFolderInTheWayReportsIt) {
    const fs::path nowhere = folder_ / "missing" / "Lomi.ini";
    WriteResult result = WriteProfileString(nowhere.string(), "DEF", "CON1", "2");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find(nowhere.string()), std::string::npos);

    fs::create_directory(file_);
    result = WriteProfileString(file_.string(), "DEF", "CON1", "2");
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(fs::is_directory(file_));
}

#ifndef _WIN32  // POSIX only: permission bits, FIFOs, symbolic links, setrlimit and fork
TEST_F(ProfileWriteFailureTest, PipeInThePlaceOfTheFileIsRefusedWithoutWaiting) {
    ASSERT_EQ(::mkfifo(file_.c_str(), 0666), 0);
    EXPECT_EQ(ReadProfileString(file_.string(), "DEF", "PATH"), "");
    EXPECT_FALSE(WriteProfileString(file_.string(), "DEF", "PATH", "x").ok);
    EXPECT_EQ(fs::status(file_).type(), fs::file_type::fifo);
}
#endif

#ifndef _WIN32  // POSIX only: permission bits, FIFOs, symbolic links, setrlimit and fork
TEST_F(ProfileWriteFailureTest, FullDiskLeavesTheOldFileWhole) {
    WriteBytes(file_, kOld);
    test::OpenFolderToEveryone(folder_.PathText());
    fs::permissions(file_, fs::perms::all);
    const std::string path = file_.string();
    // A file size limit makes writes fail the way a full disk does.
    const std::string outcome = test::RunAsUnprivilegedChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        return Encode(WriteProfileString(path, "DEF", "PATH", std::string(200, 'n')));
    });
    ExpectFailureReported(outcome);
    EXPECT_EQ(ReadBytes(file_), kOld);
    EXPECT_TRUE(OnlyFileLeft(folder_, file_));
}
#endif

#ifndef _WIN32  // POSIX only: permission bits, FIFOs, symbolic links, setrlimit and fork
TEST_F(ProfileWriteFailureTest, SymbolicLinkIsFollowedAndKept) {
    const fs::path real = folder_ / "real.ini";
    WriteBytes(real, kOld);
    fs::create_symlink(real, file_);
    ASSERT_TRUE(WriteProfileString(file_.string(), "DEF", "CON1", "2").ok);
    EXPECT_TRUE(fs::is_symlink(file_));
    EXPECT_EQ(ReadBytes(real), "; hand-written\r\n[DEF]\r\nPATH=C:\\old\r\nCON1=2\r\n");
}
#endif

#ifndef _WIN32  // POSIX only: permission bits, FIFOs, symbolic links, setrlimit and fork
// A save killed at any moment leaves a file that is either the old or the
// new one, whole.
TEST(SettingsCrashSafety, KilledSaveLeavesOldOrNewFile) {
    TempFolder folder;
    const fs::path file = folder / "Lomi.ini";
    const std::string path = file.string();
    ProgramState a;
    a.DataFolder = "C:\\競馬\\データ";
    a.Pattern.axisIndex = 7, a.Pattern.axisRank = 1, a.Pattern.partnerIndex = 3,
    a.Pattern.betStyle = 1;
    ProgramState b = a;
    b.DataFolder = "D:\\" + std::string(200, 'b');
    b.Pattern.axisIndex = -1, b.Pattern.axisRank = 32767, b.Pattern.partnerIndex = -32768,
    b.Pattern.betStyle = 2;

    const std::string hand = "; mine\r\n[X]\r\nY=1\r\n\r\n[DEF]\r\nPATH=C:\\start\r\n";
    WriteBytes(file, hand);
    ASSERT_TRUE(SaveSettings(a, path).ok);
    const std::string bytesA = ReadBytes(file);
    ASSERT_TRUE(SaveSettings(b, path).ok);
    const std::string bytesB = ReadBytes(file);

    std::mt19937 random(12345);
    for (int round = 0; round < 150; ++round) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (int i = 0;; ++i) SaveSettings(i % 2 ? a : b, path);
        }
        ::usleep(std::uniform_int_distribution<int>(0, 3000)(random));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string now = ReadBytes(file);
        ASSERT_TRUE(now == bytesA || now == bytesB) << "round " << round << ":\n" << now;
    }
}
#endif

}  // namespace
}  // namespace lomi
