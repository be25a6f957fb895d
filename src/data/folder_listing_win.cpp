#include "data/folder_listing.h"

#include <windows.h>

#include <memory>

#include "data/critical_error_boxes_win.h"
#include "data/wide_text.h"
#include "data/windows_paths_win.h"

namespace lomi {
namespace {

constexpr DWORD kLeftOut = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                           FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;

struct FindCloser {
    void operator()(HANDLE find) const { FindClose(find); }
};

// What is not there, when a folder is looked for, is a folder.
std::string FolderErrorText(DWORD error) {
    return FileErrorText(error == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : error);
}

}  // namespace

bool ForEachPlainFile(const std::string& folder,
                      const std::function<bool(std::string_view)>& wanted,
                      const std::function<void(std::string_view)>& found, std::string& reason,
                      const std::stop_token& stop) {
    std::wstring pattern = Utf8ToWide(folder);
    if (pattern.empty() || (pattern.back() != L'\\' && pattern.back() != L'/')) pattern += L'\\';
    pattern += L'*';
    if (IsTooLongPath(pattern)) {
        reason = kTooLongPath;
        return false;
    }
    WIN32_FIND_DATAW data;
    HANDLE handle = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                     nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // An empty folder still lists: only a failure to search is no result.
        if (error == ERROR_FILE_NOT_FOUND) return true;
        reason = FolderErrorText(error);
        return false;
    }
    const std::unique_ptr<void, FindCloser> find(handle);
    for (;;) {
        if (stop.stop_requested()) return true;
        if ((data.dwFileAttributes & kLeftOut) == 0) {
            std::string name = WideToUtf8(data.cFileName);
            if (!name.empty() && wanted(name)) found(name);
        }
        if (!FindNextFileW(find.get(), &data)) break;
    }
    // The search ends in ERROR_NO_MORE_FILES; anything else cut it short.
    const DWORD error = GetLastError();
    if (error == ERROR_NO_MORE_FILES) return true;
    reason = FolderErrorText(error);
    return false;
}

std::string FolderProblem(const std::string& folder) {
    if (folder.empty()) return "ﾌｫﾙﾀﾞが指定されていません";
    const std::wstring path = Utf8ToWide(folder);
    // Room for the "\*" of the search pattern.
    if (IsTooLongPath(path + L"\\*")) return kTooLongPath;
    const NoCriticalErrorBoxes quiet;
    std::string problem;
    const bool driveLetter = path.size() >= 2 && path[1] == L':' && iswalpha(path[0]);
    if (driveLetter && GetDriveTypeW((path.substr(0, 2) + L"\\").c_str()) == DRIVE_NO_ROOT_DIR) {
        problem = "ドライブ " + WideToUtf8(path.substr(0, 2)) + " がありません";
    } else if (const DWORD attributes = GetFileAttributesW(path.c_str());
               attributes == INVALID_FILE_ATTRIBUTES) {
        problem = FolderErrorText(GetLastError());
    } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        problem = "ﾌｫﾙﾀﾞではありません";
    }
    return problem;
}

char PathSeparator() { return '\\'; }

}  // namespace lomi
