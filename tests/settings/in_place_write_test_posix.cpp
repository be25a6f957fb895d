// Saving into a writable Lomi.ini whose folder takes no new files, and two
// programs saving at the same moment. POSIX only: writing in place is the
// POSIX writer's fallback, and the Windows writer always renames.
#include <csignal>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "child_process.h"
#include "settings/settings.h"
#include "settings/whole_file.h"
#include "support/temp_folder.h"

namespace lomi {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

constexpr uid_t kNobody = 65534;

ProgramState StateWith(const std::string& folder, std::int16_t con1) {
    ProgramState state;
    state.DataFolder = folder;
    state.Pattern.axisIndex = con1;
    return state;
}

class InPlaceWrite : public ::testing::Test {
protected:
    void SetUp() override {
        test::OpenFolderToEveryone(folder_.PathText());
        WriteBytes(file_, old_);
        fs::permissions(file_, fs::perms::all);
        fs::permissions(folder_.Path(), fs::perms::owner_all | fs::perms::group_read |
                                            fs::perms::group_exec | fs::perms::others_read |
                                            fs::perms::others_exec);
    }
    // Saves as a user who may change the file but not its folder.
    std::string SaveUnprivileged(const ProgramState& state, rlim_t sizeLimit = RLIM_INFINITY) {
        const std::string path = file_.string();
        return test::RunAsUnprivilegedChild([&] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{sizeLimit, sizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            const SaveResult result = SaveSettings(state, path);
            return (result.ok ? "1" : "0") + result.message;
        });
    }
    bool OnlyTheFileLeft() const {
        for (const auto& entry : fs::directory_iterator(folder_.Path())) {
            if (entry.path() != file_) return false;
        }
        return true;
    }

    TempFolder folder_;
    fs::path file_ = folder_ / "Lomi.ini";
    std::string old_ = "; kept\r\n[DEF]\r\nPATH=/a/rather/long/old/data/folder/name\r\nCON1=1\r\n";
};

TEST_F(InPlaceWrite, ShorterAndLongerContentReplaceTheFileExactly) {
    const struct {
        std::string folder;
        std::string expected;
    } cases[] = {
        {"/s", "; kept\r\n[DEF]\r\nPATH=/s\r\nCON1=7\r\nCON2=0\r\nCON3=0\r\nCON4=0\r\n"},
        {"/" + std::string(200, 'x'), "; kept\r\n[DEF]\r\nPATH=/" + std::string(200, 'x') +
                                          "\r\nCON1=7\r\nCON2=0\r\nCON3=0\r\nCON4=0\r\n"},
    };
    for (const auto& c : cases) {
        WriteBytes(file_, old_);
        const std::string outcome = SaveUnprivileged(StateWith(c.folder, 7));
        EXPECT_EQ(outcome, "1");
        EXPECT_EQ(ReadBytes(file_), c.expected);
        EXPECT_TRUE(OnlyTheFileLeft());
    }
}

TEST_F(InPlaceWrite, NoRoomForTheNewContentLeavesTheOldFile) {
    const std::string outcome =
        SaveUnprivileged(StateWith("/" + std::string(200, 'x'), 7), old_.size() + 10);
    ASSERT_FALSE(outcome.empty());
    EXPECT_EQ(outcome[0], '0');
    EXPECT_NE(outcome.find(file_.string()), std::string::npos) << outcome;
    EXPECT_EQ(ReadBytes(file_), old_);
}

// Two programs save over and over at once, in place and by renaming; every
// read in between, and the file at the end, is one of the two whole.
TEST(ConcurrentSaves, LeaveOneWholeFile) {
    for (const bool folderWritable : {false, true}) {
        TempFolder folder;
        test::OpenFolderToEveryone(folder.PathText());
        const fs::path file = folder / "Lomi.ini";
        const ProgramState a = StateWith("/a/" + std::string(150, 'a'), 1);
        const ProgramState b = StateWith("/b", 2);
        ASSERT_TRUE(SaveSettings(a, file.string()).ok);
        const std::string bytesA = ReadBytes(file);
        ASSERT_TRUE(SaveSettings(b, file.string()).ok);
        const std::string bytesB = ReadBytes(file);
        fs::permissions(file, fs::perms::all);
        if (!folderWritable) {
            fs::permissions(
                folder.Path(),
                fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                fs::perm_options::remove);
        }

        pid_t children[2];
        for (int i = 0; i < 2; ++i) {
            children[i] = ::fork();
            if (children[i] == 0) {
                if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
                    _exit(3);
                }
                for (int n = 0; n < 300; ++n) {
                    if (!SaveSettings(n % 2 == i ? a : b, file.string()).ok) _exit(4);
                }
                _exit(0);
            }
        }
        for (int n = 0; n < 300; ++n) {
            const FileReadResult read = ReadWholeFile(file.string());
            ASSERT_EQ(read.status, FileReadStatus::Read);
            ASSERT_TRUE(read.bytes == bytesA || read.bytes == bytesB) << read.bytes;
        }
        for (const pid_t child : children) {
            int status = 0;
            ::waitpid(child, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        }
        const std::string last = ReadBytes(file);
        EXPECT_TRUE(last == bytesA || last == bytesB) << last;
        if (!folderWritable) {
            // Whether each save really went in place: nothing else appeared.
            EXPECT_EQ(
                std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
        }
    }
}

}  // namespace
}  // namespace lomi
