#include "data/subfolders.h"

#include <windows.h>

#include "data/critical_error_boxes_win.h"
#include "data/wide_text.h"
#include "data/windows_paths_win.h"

namespace lomi {

std::optional<std::vector<std::string>> ListSubfolders(const std::string& folder) {
    if (folder.empty()) return std::nullopt;
    std::wstring pattern = Utf8ToWide(folder);
    for (wchar_t& c : pattern) {
        if (c == L'/') c = L'\\';
    }
    if (pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    if (IsTooLongPath(pattern)) return std::nullopt;
    const NoCriticalErrorBoxes quiet;

    WIN32_FIND_DATAW data;
    HANDLE find =
        FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchLimitToDirectories,
                         nullptr, FIND_FIRST_EX_LARGE_FETCH);
    std::optional<std::vector<std::string>> result;
    if (find == INVALID_HANDLE_VALUE) {
        // An empty drive root has no entries at all, not even ".".
        if (GetLastError() == ERROR_FILE_NOT_FOUND) result.emplace();
    } else {
        result.emplace();
        do {
            const DWORD attributes = data.dwFileAttributes;
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) continue;
            if (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
            const std::wstring_view name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            result->push_back(WideToUtf8(name));
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    return result;
}

}  // namespace lomi
