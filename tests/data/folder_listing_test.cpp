#include "data/folder_listing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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
        const int other = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        const bool swapped = other >= 0 && ::dup2(other, std::stoi(entry.path().filename())) >= 0;
        if (other >= 0) ::close(other);
        return swapped;
    }
    return false;
}

// The system's read of the directory failing part way, made to happen by
// putting a plain file behind the listing's descriptor: the names found
// until then must not pass for the whole folder.
TEST(ForEachPlainFile, AReadFailingPartWayFailsTheListingWithTheReason) {
    const test::TempFolder folder;
    test::WriteBytes(folder / "P1Q1RN.txt", "");
    bool swapped = false;
    std::string reason;
    const bool listed = ForEachPlainFile(
        folder.PathText(),
        [&](std::string_view) {
            if (!swapped) swapped = PutFileBehindDescriptorOf(folder.Path(), folder / "P1Q1RN.txt");
            return true;
        },
        [](std::string_view) {}, reason);
    ASSERT_TRUE(swapped);
    EXPECT_FALSE(listed);
    EXPECT_EQ(reason, "ﾌｫﾙﾀﾞが見つかりません");
}
#endif

}  // namespace
}  // namespace lomi
