#include "data/folder_listing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#ifdef __linux__
#include <fcntl.h>
#include <unistd.h>
#endif

#include "support/temp_folder.h"

namespace lomi {
namespace {

namespace fs = std::filesystem;

#ifdef __linux__
// Makes the descriptor this process holds open on folder refer to file.
bool PutFileBehindDescriptorOf(const fs::path& folder, const fs::path& file) {
    const fs::path target = fs::canonical(folder);
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (fs::read_symlink(entry.path(), error) != target) continue;
        const int fd = std::stoi(entry.path().filename().string());
        const int other = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        const bool swapped = other >= 0 && ::dup2(other, fd) == fd;
        if (other >= 0) ::close(other);
        return swapped;
    }
    return false;
}
#endif

// A listing that cannot start, or fails part way, is no listing: the
// caller gets the reason instead of names that may not be all there are.
TEST(ForEachPlainFile, FailsWithTheReasonWhenTheFolderCannotBeRead) {
    const test::TempFolder root;
    const fs::path folder = root / "data";
    fs::create_directory(folder);
    for (const char* name : {"P1Q1RN.txt", "P2Q1RN.txt", "P3Q1RN.txt"}) {
        test::WriteBytes(folder / name, "");
    }
    const auto takeAll = [](std::string_view) { return true; };
    const auto ignore = [](std::string_view) {};

    std::string reason;
    EXPECT_FALSE(ForEachPlainFile((root / "missing").string(), takeAll, ignore, reason));
    EXPECT_EQ(reason, "フォルダが見つかりません");

#ifdef __linux__
    // The system's read of the directory failing part way, made to happen
    // by putting a plain file behind the listing's descriptor: what was
    // found until then must not pass for the whole folder.
    reason.clear();
    bool swapped = false;
    const bool listed = ForEachPlainFile(
        folder.string(),
        [&](std::string_view) {
            if (!swapped) swapped = PutFileBehindDescriptorOf(folder, folder / "P1Q1RN.txt");
            return true;
        },
        ignore, reason);
    ASSERT_TRUE(swapped);
    EXPECT_FALSE(listed);
    EXPECT_EQ(reason, "フォルダが見つかりません");
#endif
}

}  // namespace
}  // namespace lomi
