// Folder listing for the folder browser and the drive list, through the
// platform's own calls.
#include "data/subfolders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "data/drives.h"
#include "support/temp_folder.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace lomi {
namespace {

namespace fs = std::filesystem;

// Marks a file or folder hidden the platform's way: a leading dot on POSIX
// (the name is changed), the hidden or system attribute on Windows.
fs::path Hide(const fs::path& path, [[maybe_unused]] bool system) {
#ifdef _WIN32
    SetFileAttributesW(path.c_str(), system ? FILE_ATTRIBUTE_SYSTEM : FILE_ATTRIBUTE_HIDDEN);
    return path;
#else
    const fs::path hidden = path.parent_path() / ("." + path.filename().string());
    fs::rename(path, hidden);
    return hidden;
#endif
}

TEST(ListSubfolders, FoldersOnlyAndNoHiddenOnes) {
    const test::TempFolder folder;
    for (const char* name : {"2001", "競馬データ", "hidden", "system", "a file.txt"}) {
        if (std::string_view(name).find('.') == std::string_view::npos) {
            fs::create_directory(folder / name);
        } else {
            test::WriteBytes(folder / name, "x");
        }
    }
    Hide(folder / "hidden", false);
    Hide(folder / "system", true);
    auto names = ListSubfolders(folder.PathText());
    ASSERT_TRUE(names.has_value());
    std::sort(names->begin(), names->end());
    EXPECT_EQ(*names, (std::vector<std::string>{"2001", "競馬データ"}));

    const test::TempFolder empty;
    EXPECT_EQ(ListSubfolders(empty.PathText()), std::vector<std::string>{});
}

TEST(ListSubfolders, NothingForWhatCannotBeListed) {
    const test::TempFolder folder;
    test::WriteBytes(folder / "file", "x");
    for (const std::string& bad :
         {std::string(), (folder / "missing").string(), (folder / "file").string()}) {
        EXPECT_FALSE(ListSubfolders(bad).has_value()) << bad;
    }
}

TEST(Volumes, TheVolumeOfTheTemporaryFolderIsListed) {
    const std::vector<Volume> volumes = ListVolumes();
    ASSERT_FALSE(volumes.empty());
    const std::string temporary = test::TempFolder().PathText();
#ifdef _WIN32
    const std::string root = temporary.substr(0, 3);  // "C:\"
    const std::string label = std::string(1, static_cast<char>(std::tolower(root[0]))) + ":";
    const auto found = std::find_if(volumes.begin(), volumes.end(),
                                    [&](const Volume& v) { return v.root == root; });
    ASSERT_NE(found, volumes.end()) << temporary;
    EXPECT_EQ(found->label.substr(0, 2), label);
#else
    EXPECT_EQ(volumes.front().root, "/");
    EXPECT_EQ(temporary.front(), '/');
#endif
}

TEST(Volumes, DriveLabels) {
    EXPECT_EQ(DriveLabel('C', "SYSTEM"), "c: [SYSTEM]");
    EXPECT_EQ(DriveLabel('D', ""), "d:");
    EXPECT_EQ(DriveLabel('Z', "データ"), "z: [データ]");
}

}  // namespace
}  // namespace lomi
